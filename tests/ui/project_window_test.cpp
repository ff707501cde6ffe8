// The main window's building as a project file, driven as a user does: save and open, the
// caption, asking to save, bad files, recent files (editing in project_window_editing_test.cpp,
// runs in project_window_runs_test.cpp).
#include "project_window_fixture.h"

namespace {

TEST_F(ProjectWindowTest, TheMenuBarSitsAboveTheDesignedClientArea) {
    QMenuBar* bar = main_->menuBar();
    ASSERT_TRUE(bar->isVisible());
    EXPECT_EQ(main_->centralWidget()->size(), QSize(841, 523));
    EXPECT_EQ(main_->centralWidget()->y(), bar->height());
    // Below it, the status bar's hint line.
    EXPECT_EQ(main_->height(), 523 + bar->height() + main_->statusBar()->sizeHint().height());
    // Every control where the form puts it inside the client area.
    EXPECT_EQ(Grid("GridRoom")->parentWidget(), main_->centralWidget());
    const QStringList menus = {bar->actions()[0]->text(), bar->actions()[1]->text()};
    EXPECT_EQ(menus, QStringList({"&Файл", "&Правка"}));
    const std::pair<const char*, QKeySequence> shortcuts[] = {
        {"ActFileNew", QKeySequence("Ctrl+N")},       {"ActFileOpen", QKeySequence("Ctrl+O")},
        {"ActFileSave", QKeySequence("Ctrl+S")},      {"ActFileSaveAs", QKeySequence("Ctrl+Shift+S")},
        {"ActRestoreLast", QKeySequence("Ctrl+R")},   {"ActExit", QKeySequence("Ctrl+Q")},
        {"ActUndo", QKeySequence("Ctrl+Z")},          {"ActRedo", QKeySequence("Ctrl+Y")}};
    for (const auto& [name, keys] : shortcuts) {
        ASSERT_NE(Action(name), nullptr) << name;
        EXPECT_EQ(Action(name)->shortcut(), keys) << name;
    }
    // The evacuation button reads whole and stands in free space, clear of every designed control.
    auto* evacuation = Find<QPushButton>("btnEvacuation");
    EXPECT_EQ(evacuation->text(), "Эвакуация...");
    EXPECT_GE(evacuation->height(), evacuation->fontMetrics().horizontalAdvance(evacuation->text()));
    for (const char* designed : {"GridRoom", "GridMatrix", "btnAddRoom", "btnDelRoom", "Label18"})
        EXPECT_FALSE(evacuation->geometry().intersects(Find(designed)->geometry())) << designed;
}

TEST_F(ProjectWindowTest, ASavedBuildingOpensBackAsItWasAndSavesToTheSameBytes) {
    EnterThreeRooms();
    SetField("Edit3", "0,0123456789");
    Find<QRadioButton>("rbMcCaffrey")->setChecked(true);
    Click(Grid("GridMatrix"), 1, 1);  // where an opened building starts
    const std::string before = Shown();
    const QString designed = "Расчет времени блокировки с использованием зонной модели (тестовая версия)";
    EXPECT_TRUE(main_->IsModified());

    main_->SetPathAsker([&](bool save, const QString&) { return save ? Path("building") : QString(); });
    Shortcut(Qt::Key_S);  // untitled: "Сохранить" asks where
    ASSERT_EQ(main_->FilePath(), Path("building.json"));
    EXPECT_FALSE(main_->IsModified());
    EXPECT_EQ(main_->windowTitle(), designed + " — building.json");
    const std::string saved = ReadBytes(Path("building.json"));
    EXPECT_EQ(saved, zf::project::WriteDocument(main_->CurrentDocument()));

    // Another window opens it showing the same, and saves the same bytes.
    main_ = std::make_unique<Tf_main>();
    main_->show();
    ASSERT_TRUE(main_->OpenFile(Path("building.json")));
    EXPECT_EQ(Shown(), before);
    EXPECT_FALSE(main_->IsModified());
    ASSERT_TRUE(main_->SaveFile(Path("again.json")));
    EXPECT_EQ(ReadBytes(Path("again.json")), saved);

    // A change marks the caption; changing it back clears the mark.
    SetField("Edit1", "1");
    EXPECT_TRUE(main_->IsModified());
    EXPECT_TRUE(main_->windowTitle().endsWith("again.json*"));
    SetField("Edit1", "13800000");
    EXPECT_FALSE(main_->IsModified());
}

TEST_F(ProjectWindowTest, EveryExampleOpensWithItsExactNumbersAndNames) {
    int opened = 0;
    for (const auto& entry : std::filesystem::directory_iterator(ZONEFIRE_EXAMPLES)) {
        if (entry.path().extension() != ".json") continue;
        const QString path = QString::fromStdString(entry.path().string());
        zf::project::Document document;
        if (zf::project::ReadDocument(ReadBytes(path), document)) continue;
        SCOPED_TRACE(entry.path().string());
        ASSERT_TRUE(main_->OpenFile(path));
        ++opened;
        const zf::project::Document shown = main_->CurrentDocument();
        EXPECT_EQ(shown.Params, document.Params);
        EXPECT_EQ(shown.Rooms, document.Rooms);
        zf::TzoneMath fromFile;
        zf::project::Apply(document, fromFile);
        EXPECT_EQ(shown.Openings, zf::project::Capture(fromFile).Openings);
    }
    EXPECT_GE(opened, 3);
    // Numbers that need all 17 digits, or are far below 0.0001, keep every bit through the fields.
    WriteBytes(Path("exact.json"), R"({"Vlin": 0.30000000000000004, "Lhcl": 2.3e-05, "hr": 1e-300,
        "rooms": [{"length": 4.000000000000001, "name": "Коридор"}]})");
    ASSERT_TRUE(main_->OpenFile(Path("exact.json")));
    const zf::project::Document shown = main_->CurrentDocument();
    EXPECT_EQ(shown.Params.Vlin, 0.30000000000000004);
    EXPECT_EQ(shown.Params.Lhcl, 2.3e-05);
    EXPECT_EQ(shown.Params.hr, 1e-300);
    EXPECT_EQ(shown.Rooms[0].Length, 4.000000000000001);
    EXPECT_EQ(Grid("GridRoom")->item(1, 1)->toolTip(), "Коридор");
}

TEST_F(ProjectWindowTest, TheRunnerGetsBitIdenticalResultsFromABuildingTheWindowSaved) {
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("run.json")));
    nlohmann::json window;
    WhenModal("TF_ShowResult", [&](QWidget* shownResults) {
        const zf::TzoneMath& zm = *main_->LastRun();
        for (const auto& room : zm.Rooms) {
            nlohmann::json samples;
            for (int e = 0; e < zf::ResultSample::kCount; ++e)
                for (const zf::ResultSample& s : room->Samples) samples[zf::ResultSample::Name(e)].push_back(s[e]);
            window.push_back(samples);
        }
        shownResults->close();
    }, 3000);
    PressCalculate();
    ASSERT_EQ(window.size(), 3u);

    const ChildResult run = RunChild(ZONEFIRE_CLI, {Path("run.json").toStdString(), "--json", Path("result.json").toStdString(), "--quiet"});
    ASSERT_EQ(run.ExitCode, 0) << run.Err;
    const nlohmann::json runner = nlohmann::json::parse(ReadBytes(Path("result.json")));
    ASSERT_EQ(runner["rooms"].size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        for (int e = 0; e < zf::ResultSample::kCount; ++e) {
            const char* name = zf::ResultSample::Name(e);
            // Every sample parsed back to the same double the window computed.
            EXPECT_EQ(runner["rooms"][i]["samples"][name].get<std::vector<double>>(), window[i][name].get<std::vector<double>>())
                << "room " << i + 1 << ", " << name;
        }
}

// A file's or a room's name with a right-to-left override or a newline is shown escaped in the
// window's title, in a message and in the rooms table: it can neither reorder nor break them.
TEST_F(ProjectWindowTest, NamesWithDirectionOverridesAndNewlinesAreShownEscaped) {
    const QString hostile = QString::fromUtf8("evil\u202enosj.\nx.json");
    WriteBytes(Path(hostile), R"({"rooms": [{"name": "Зал\u202eКладовая\nB"}, {}],
                               "openings": [{"rooms": [1, 2]}, {"rooms": [2, 2]}]})");
    ASSERT_TRUE(main_->OpenFile(Path(hostile)));
    const QString title = main_->windowTitle();
    EXPECT_TRUE(title.endsWith(QStringLiteral("evil\\u202enosj.\\x0ax.json"))) << title.toStdString();
    EXPECT_FALSE(title.contains(QChar(0x202E)) || title.contains(u'\n')) << title.toStdString();
    const QString tip = Grid("GridRoom")->item(1, 1)->toolTip();
    EXPECT_EQ(tip, QStringLiteral("Зал\\u202eКладовая\\x0aB"));

    WriteBytes(Path(hostile + ".bad"), "{");
    QString text;
    ExpectMessage(&text);
    EXPECT_FALSE(main_->OpenFile(Path(hostile + ".bad")));
    EXPECT_TRUE(text.contains(QStringLiteral("evil\\u202enosj.\\x0ax.json.bad"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QChar(0x202E))) << text.toStdString();
}

TEST_F(ProjectWindowTest, AFileThatCannotBeReadIsNamedAndTheBuildingKept) {
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("good.json")));
    AddRoom("7", "7", "7");  // unsaved: a refused file must not even ask
    const std::string before = Shown();
    const struct {
        const char* Name;
        std::string Bytes;
        const char* Says;
    } cases[] = {
        {"syntax.json", "{\n  \"rooms\": [{}],\n  \"dt\": ,\n}", "строке 3, столбце 9"},
        {"newer.json", R"({"format": "zonefire-scenario", "version": 7, "rooms": []})", "более новой версией программы"},
        {"room.json", R"({"rooms": [{}, {"width": "wide"}]})", "помещение №2, ключ \"width\""},
        {"opening.json", R"({"rooms": [{}], "openings": [{"rooms": [1, 4]}]})", "проем №1"},
        {"nul.json", std::string("{\"rooms\": []}\0", 14), "нулевой байт"},
    };
    for (const auto& c : cases) {
        WriteBytes(Path(c.Name), c.Bytes);
        QString text;
        ExpectMessage(&text);
        EXPECT_FALSE(main_->OpenFile(Path(c.Name)));
        EXPECT_TRUE(text.contains(c.Name)) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.Says))) << text.toStdString();
        EXPECT_EQ(Shown(), before) << c.Name;
        EXPECT_EQ(main_->FilePath(), Path("good.json"));
        EXPECT_TRUE(main_->IsModified());
    }
    QString missing;
    ExpectMessage(&missing);
    EXPECT_FALSE(main_->OpenFile(Path("absent.json")));
    EXPECT_TRUE(missing.contains("absent.json")) << missing.toStdString();
    EXPECT_EQ(Shown(), before);
}

TEST_F(ProjectWindowTest, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("kept.json")));
    const std::string old = ReadBytes(Path("kept.json"));
    AddRoom("7", "7", "7");
    // Files may grow to 100 bytes only, as on a full disk: the new text cannot be written.
    rlimit saved{};
    getrlimit(RLIMIT_FSIZE, &saved);
    rlimit small = saved;
    small.rlim_cur = 100;
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);  // a write past the limit fails instead
    setrlimit(RLIMIT_FSIZE, &small);
    QString text;
    ExpectMessage(&text);
    const bool saved100 = main_->FileSave();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved100);
    EXPECT_TRUE(text.contains("kept.json")) << text.toStdString();
    EXPECT_GT(text.indexOf(": "), 0) << text.toStdString();  // the reason follows the name
    EXPECT_EQ(ReadBytes(Path("kept.json")), old);
    EXPECT_TRUE(main_->IsModified());
    // A field without a number is named instead of writing a file that lies.
    SetField("Edit9", "2..93");
    ExpectMessage(&text);
    EXPECT_FALSE(main_->SaveFile(Path("other.json")));
    EXPECT_FALSE(QFile::exists(Path("other.json")));
}

// Saving over a file keeps its permissions; a read-only file or folder is named in Russian, and
// the building stays open and modified.
TEST_F(ProjectWindowTest, SavingKeepsPermissionsAndARefusedSaveKeepsTheBuilding) {
    EnterThreeRooms();
    const QString kept = Path("kept.json");
    ASSERT_TRUE(main_->SaveFile(kept));
    const auto groupRead = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup;
    ASSERT_TRUE(QFile::setPermissions(kept, groupRead));
    AddRoom("7", "7", "3");
    ASSERT_TRUE(main_->SaveFile(kept));
    EXPECT_EQ(QFileInfo(kept).permissions() & 0x7077, groupRead & 0x7077);  // owner, group, others

    const QString locked = Path("locked.json");
    ASSERT_TRUE(main_->SaveFile(locked));
    ASSERT_TRUE(QFile::setPermissions(locked, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const QByteArray bytes = [&] { QFile f(locked); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    QDir().mkdir(Path("shut"));
    ASSERT_TRUE(QFile::setPermissions(Path("shut"), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    AddRoom("8", "8", "3");  // unsaved
    const std::pair<QString, const char*> refused[] = {{locked, "файл доступен только для чтения"},
                                                       {Path("shut/new.json"), "доступна только для чтения"}};
    for (const auto& [path, says] : refused) {
        QString text;
        ExpectMessage(&text);
        EXPECT_FALSE(main_->SaveFile(path));
        EXPECT_TRUE(text.contains(QString::fromUtf8(says))) << text.toStdString();
        EXPECT_TRUE(main_->IsModified());
        EXPECT_EQ(main_->FilePath(), locked);
        EXPECT_EQ(main_->Scenario().RoomCount(), 5);
    }
    QFile f(locked);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
    EXPECT_FALSE(QFile::exists(Path("shut/new.json")));
    QFile::setPermissions(Path("shut"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(ProjectWindowTest, NewOpenAndExitWithUnsavedChangesAskToSave) {
    EnterThreeRooms();
    const std::string before = Shown();
    bool asked = false;
    AnswerSaveQuestion(QMessageBox::Cancel, &asked);
    EXPECT_FALSE(main_->FileNew());
    EXPECT_TRUE(asked);
    EXPECT_EQ(Shown(), before);
    // Closing the window asks too; "Отмена" keeps it open.
    asked = false;
    AnswerSaveQuestion(QMessageBox::Cancel, &asked);
    EXPECT_FALSE(main_->close());
    EXPECT_TRUE(asked);
    EXPECT_TRUE(main_->isVisible());
    // "Сохранить" saves, then the new building starts with the window's initial fields.
    main_->SetPathAsker([&](bool, const QString&) { return Path("asked.json"); });
    AnswerSaveQuestion(QMessageBox::Save, &asked);
    EXPECT_TRUE(main_->FileNew());
    EXPECT_TRUE(QFile::exists(Path("asked.json")));
    EXPECT_EQ(main_->Scenario().RoomCount(), 0);
    EXPECT_EQ(Find<QLineEdit>("Edit3")->text(), "0,01450");
    EXPECT_TRUE(main_->FilePath().isEmpty());
    EXPECT_FALSE(main_->IsModified());
    // Unchanged: no question.
    EXPECT_TRUE(main_->OpenFile(Path("asked.json")));
    EXPECT_EQ(Shown(), before);
    EXPECT_TRUE(main_->close());
}

TEST_F(ProjectWindowTest, TheFiveLatestFilesAreOfferedLatestFirst) {
    AddRoom("5", "4", "3");
    for (int i = 1; i <= 6; ++i) ASSERT_TRUE(main_->SaveFile(Path(QStringLiteral("f%1.json").arg(i))));
    ASSERT_TRUE(main_->OpenFile(Path("f3.json")));
    const QStringList expected = {Path("f3.json"), Path("f6.json"), Path("f5.json"), Path("f4.json"), Path("f2.json")};
    EXPECT_EQ(main_->RecentFiles(), expected);
    for (int i = 0; i < 5; ++i) {
        QAction* recent = Action(QStringLiteral("ActRecent%1").arg(i + 1).toLatin1().constData());
        ASSERT_NE(recent, nullptr);
        EXPECT_TRUE(recent->isVisible());
        EXPECT_EQ(recent->data().toString(), expected[i]);
    }
    // Choosing one opens it.
    SetField("Edit1", "1");
    ASSERT_TRUE(main_->SaveFile(Path("f6.json")));
    Action("ActRecent3")->trigger();  // f5.json
    EXPECT_EQ(main_->FilePath(), Path("f5.json"));
    EXPECT_EQ(Find<QLineEdit>("Edit1")->text(), "13800000");
}


}  // namespace
