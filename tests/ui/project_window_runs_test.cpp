// The main window's building as a project file, continued: files dropped on the window, the
// building after every run outcome and of the last calculation, the evacuation inputs,
// studies opened as buildings, the fire-area field, and the building's title, notes and names.
#include "project_window_fixture.h"

namespace {

TEST_F(ProjectWindowTest, AFileDroppedOnTheWindowIsOpened) {
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("dropped.json")));
    const std::string before = Shown();
    ASSERT_TRUE(main_->FileNew());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("dropped.json"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main_.get(), &drop);
    EXPECT_EQ(main_->FilePath(), Path("dropped.json"));
    EXPECT_EQ(Shown(), before);
}

// A drop the source proposes as a move is taken as a copy: the source keeps its file.
TEST_F(ProjectWindowTest, AFileDroppedAsAMoveIsTakenAsACopy) {
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("moved.json")));
    ASSERT_TRUE(main_->FileNew());
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(Path("moved.json"))});
    const Qt::DropActions offered = Qt::MoveAction | Qt::CopyAction;
    QDragEnterEvent enter(QPoint(10, 10), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    enter.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(main_.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
    QDropEvent drop(QPointF(10, 10), offered, &data, Qt::LeftButton, Qt::ShiftModifier);
    drop.setDropAction(Qt::MoveAction);
    QApplication::sendEvent(main_.get(), &drop);
    EXPECT_TRUE(drop.isAccepted());
    EXPECT_EQ(drop.dropAction(), Qt::CopyAction);  // what the source is told: it deletes nothing
    EXPECT_EQ(main_->FilePath(), Path("moved.json"));
    EXPECT_TRUE(QFile::exists(Path("moved.json")));
    // A source that offers only a move is refused.
    QDropEvent moveOnly(QPointF(10, 10), Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(main_.get(), &moveOnly);
    EXPECT_FALSE(moveOnly.isAccepted());
}

// Every way a run ends: completed, stopped from the progress window, failed in step 1, refused.
class RunOutcomesTest : public ProjectWindowTest {
protected:
    struct Outcome {
        const char* name;
        std::function<void()> arrange;  // the run's fields and who ends it
    };

    std::vector<Outcome> Outcomes() {
        return {
            {"completed", [this] {
                 SetField("Edit11", "0,01"), SetField("Edit12", "2"), SetField("Edithr", "1,7");
             }},
            {"stopped", [this] {
                 main_->SetRunClock(&SecondPerReading);
                 SetField("Edit11", "0,01"), SetField("Edit12", "1000"), SetField("Edithr", "1,7");
                 AtFirstRefresh(progress_.get(), [this] {
                     QTest::mouseClick(progress_->findChild<QPushButton*>("TBXButton1"), Qt::LeftButton);
                 });
             }},
            {"failed", [this] {
                 SetField("Edit11", "0,3"), SetField("Edit12", "20"), SetField("Edithr", "1,7");  // longer than a sample: fails in step 1
             }},
            {"refused", [this] {
                 SetField("Edithr", "30");  // the working zone above every ceiling
             }},
        };
    }

    // Each outcome in turn, the editor compared before and after.
    void ExpectEveryOutcomeKeepsTheEditor(bool edited) {
        for (const Outcome& outcome : Outcomes()) {
            SCOPED_TRACE(std::string(outcome.name) + (edited ? ", edited building" : ", first building"));
            outcome.arrange();
            const std::string before = Shown();
            const bool modified = main_->IsModified();
            const int undo = main_->UndoStack()->count();
            PressCalculate();
            EXPECT_EQ(Shown(), before);
            EXPECT_EQ(main_->IsModified(), modified);
            EXPECT_EQ(main_->UndoStack()->count(), undo);
            EXPECT_EQ(main_->FilePath(), edited ? Path("kept.json") : QString());
            if (edited) EXPECT_TRUE(main_->IsModified());
        }
    }
};

// Every way a run ends leaves the editor exactly as it was: the building, the unsaved edits,
// the file and the modified mark. With the window's own first building and with an edited one.
TEST_F(RunOutcomesTest, EveryRunOutcomeLeavesTheEditorAndItsUnsavedEditsAsTheyWere) {
    // The results window or the message each run ends with is closed as a user would.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
    });
    closer.start(2);
    ExpectEveryOutcomeKeepsTheEditor(false);
    closer.stop();
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("kept.json")));
    AddRoom("7", "7", "3");  // an edit not saved
    closer.start(2);
    ExpectEveryOutcomeKeepsTheEditor(true);
}

// ---- The building of the last calculation --------------------------------------------------

TEST_F(ProjectWindowTest, TheBuildingComesBackAfterACompletedRunFromTheResultsWindow) {
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("calc.json")));
    const std::string before = Shown();
    const int history = main_->UndoStack()->count();  // the run leaves the editor's history too
    EXPECT_FALSE(Action("ActRestoreLast")->isEnabled());
    WhenModal("TF_ShowResult", [&](QWidget* w) {
        QTest::mouseClick(w->findChild<QToolButton*>("btnRestoreBuilding"), Qt::LeftButton);
    }, 3000);
    PressCalculate();
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(main_->FilePath(), Path("calc.json"));
    EXPECT_FALSE(main_->IsModified());
    EXPECT_EQ(main_->UndoStack()->count(), history);
}

TEST_F(ProjectWindowTest, TheBuildingComesBackAfterAStoppedRunAndAfterARestart) {
    main_->SetRunClock(&SecondPerReading);
    SetField("Edit11", "0,0001");
    SetField("Edit12", "1000");  // far longer than the test lets it run
    AddRoom("5", "4", "3");
    AddRoom("4", "4", "3");
    Click(Grid("GridMatrix"), 1, 2);
    AddOpening("2", "0,9");
    Click(Grid("GridMatrix"), 1, 1);  // where a building put back starts
    const std::string before = Shown();
    AtFirstRefresh(progress_.get(), [this] { QTest::mouseClick(progress_->findChild<QPushButton*>("TBXButton1"), Qt::LeftButton); });
    WhenModal("TF_ShowResult", [](QWidget* w) { w->close(); }, 3000);
    PressCalculate();
    EXPECT_EQ(Shown(), before);  // the run worked on a copy
    ASSERT_TRUE(Action("ActRestoreLast")->isEnabled());
    WhenModal("QMessageBox", [](QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::Discard)->click(); });
    ASSERT_TRUE(main_->FileNew());
    Shortcut(Qt::Key_R);
    EXPECT_EQ(Shown(), before);
    EXPECT_TRUE(main_->IsModified());  // never saved

    // A new session finds it in the application data folder.
    ASSERT_TRUE(QFile::exists(Tf_main::LastCalculationPath()));
    main_ = std::make_unique<Tf_main>();
    main_->show();
    ASSERT_TRUE(main_->HasLastCalculation());
    ASSERT_TRUE(main_->RestoreLastCalculation());
    EXPECT_EQ(Shown(), before);
}

TEST_F(ProjectWindowTest, TheBuildingComesBackAfterAFailedRunFromTheFailureMessage) {
    SetField("Edit11", "0,3");  // longer than a sample: fails in step 1
    SetField("Edit12", "20");
    AddRoom("5", "4", "3");
    Click(Grid("GridMatrix"), 1, 1);
    AddOpening("2", "0,9");
    const std::string before = Shown();
    const int history = main_->UndoStack()->count();  // the run leaves the editor's history too
    WhenModal("QMessageBox", [](QWidget* box) {
        QTest::mouseClick(box->findChild<QPushButton*>("btnRestoreBuilding"), Qt::LeftButton);
    });
    PressCalculate();
    EXPECT_EQ(Shown(), before);
    EXPECT_EQ(main_->UndoStack()->count(), history);
}

}  // namespace

// The evacuation inputs typed in "Эвакуация..." are part of the building: saved in its file,
// brought back by opening it, and undone like the other editor operations.
TEST_F(ProjectWindowTest, EvacuationInputsAreSavedOpenedAndUndoneWithTheBuilding) {
    EnterThreeRooms();
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        auto* grid = dialog->findChild<QTableWidget*>("GridEvacuation");
        grid->item(1, 1)->setText("30");
        grid->item(1, 2)->setText("45,5");
        dialog->findChild<QLineEdit*>("EditSafetyFactor")->setText("0,9");
        dialog->accept();
    });
    Action("ActEvacuation")->trigger();
    const zfreport::EvacuationInputs typed = main_->Evacuation();
    ASSERT_EQ(typed.Rooms.size(), 3u);
    EXPECT_EQ(typed.Rooms[0], std::nullopt);
    EXPECT_EQ(typed.Rooms[1], (zfreport::EvacuationInput{30, 45.5}));
    EXPECT_EQ(typed.SafetyFactor, 0.9);
    EXPECT_TRUE(main_->IsModified());

    ASSERT_TRUE(main_->SaveFile(Path("evacuation.json")));
    zf::project::Document saved;
    QFile file(Path("evacuation.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_EQ(zf::project::ReadDocument(file.readAll().toStdString(), saved), std::nullopt);
    EXPECT_EQ(saved.Evacuation(), typed);

    ASSERT_TRUE(main_->FileNew());
    EXPECT_EQ(main_->Evacuation().Rooms.size(), 0u);
    ASSERT_TRUE(main_->OpenFile(Path("evacuation.json")));
    EXPECT_EQ(main_->Evacuation(), typed);

    // Deleting room 2 takes its inputs along; undo brings both back.
    Click(Grid("GridRoom"), 2, 1);
    QTest::mouseClick(Find<QToolButton>("btnDelRoom"), Qt::LeftButton);
    EXPECT_EQ(main_->Evacuation().Rooms, (std::vector<std::optional<zfreport::EvacuationInput>>{std::nullopt, std::nullopt}));
    main_->UndoStack()->undo();
    EXPECT_EQ(main_->Evacuation(), typed);
}

// A run of a parameter study opens as an unsaved building titled after the run.
TEST_F(ProjectWindowTest, AStudyRunOpensAsAnUnsavedBuilding) {
    QFile example(QStringLiteral(ZONEFIRE_EXAMPLES "/two_rooms.json"));
    ASSERT_TRUE(example.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(example.readAll());
    ASSERT_TRUE(main_->OpenScenarioText(text, "Исследование, расчет №7"));
    EXPECT_TRUE(main_->FilePath().isEmpty());
    EXPECT_EQ(Grid("GridRoom")->rowCount(), 3);  // the header row and two rooms
    EXPECT_EQ(main_->CurrentDocument().Title, "Исследование, расчет №7");

    QString message;
    ExpectMessage(&message);
    EXPECT_FALSE(main_->OpenScenarioText("{\"rooms\": 5}", "Исследование, расчет №8"));
    EXPECT_TRUE(message.contains("расчет №8")) << message.toStdString();
    EXPECT_EQ(Grid("GridRoom")->rowCount(), 3);  // the building stays as it was
}

// "Файл → Открыть исследование..." shows a study's window; a run chosen there becomes the main
// window's building, exactly the scenario the study computed for it, evacuation inputs included.
TEST_F(ProjectWindowTest, AStudyOpensFromTheFileMenuAndItsRunBecomesTheBuilding) {
    const std::string study = Path("study.json").toStdString();
    std::ofstream(study) << R"({"base_file": ")" ZONEFIRE_EXAMPLES R"(/two_rooms_dt001.json", "runs": 4, "seed": 3,
        "sampling": "monte-carlo", "vary": [
        {"input": "Vlin", "distribution": "uniform", "min": 0.008, "max": 0.016},
        {"input": "rooms[2].evacuation.duration", "distribution": "uniform", "min": 20, "max": 60}]})";
    const ChildResult computed = RunChild(ZONEFIRE_CLI, {"study", study, "--out", Path("out").toStdString(), "--quiet"});
    ASSERT_EQ(computed.ExitCode, 0) << computed.Err;

    // Not a study's summary: refused with a message, no window.
    QString message;
    ExpectMessage(&message);
    main_->SetPathAsker([&](bool save, const QString&) { return save ? QString() : Path("study.json"); });
    Action("ActOpenStudy")->trigger();
    EXPECT_FALSE(message.isEmpty());
    EXPECT_TRUE(main_->findChild<StudyWindow*>() == nullptr || !main_->findChild<StudyWindow*>()->isVisible());

    main_->SetPathAsker([&](bool save, const QString&) { return save ? QString() : Path("out/summary.json"); });
    Action("ActOpenStudy")->trigger();
    auto* window = main_->findChild<StudyWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    window->findChild<QTableWidget*>("TableRuns")->selectRow(2);
    window->findChild<QPushButton*>("BOpenRun")->click();

    const ChildResult emitted = RunChild(ZONEFIRE_CLI, {"study", study, "--emit-scenario", "3"});
    ASSERT_EQ(emitted.ExitCode, 0) << emitted.Err;
    zf::project::Document expected;
    ASSERT_EQ(zf::project::ReadDocument(emitted.Out, expected), std::nullopt);
    const zf::project::Document shown = main_->CurrentDocument();
    EXPECT_NE(shown.Title.find("расчет №3"), std::string::npos) << shown.Title;
    expected.Title = shown.Title;  // the emitted scenario has none; the window names the run
    ASSERT_TRUE(expected.Rooms[1].Evacuation.has_value());
    EXPECT_EQ(shown, expected);
    EXPECT_TRUE(main_->FilePath().isEmpty());  // unsaved: "Сохранить" asks where
}

// The fire load's largest area is a field of the file like the others: opened into "Fmax, м²",
// saved back from it.
TEST_F(ProjectWindowTest, TheFireAreaLimitOpensIntoItsFieldAndIsSavedFromIt) {
    WriteBytes(Path("limited.json"), R"({"fire_area_max": 2.5, "rooms": [{"length": 5, "width": 4, "height": 3}]})");
    ASSERT_TRUE(main_->OpenFile(Path("limited.json")));
    EXPECT_EQ(Find<QLineEdit>("EditFireAreaMax")->text(), QString("2,5"));
    EXPECT_FALSE(main_->IsModified());
    SetField("EditFireAreaMax", "1,25");
    EXPECT_TRUE(main_->IsModified());
    ASSERT_TRUE(main_->SaveFile(Path("limited.json")));
    zf::project::Document saved;
    QFile file(Path("limited.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    ASSERT_EQ(zf::project::ReadDocument(file.readAll().toStdString(), saved), std::nullopt);
    EXPECT_EQ(saved.Params.FireAreaMax, 1.25);
}

namespace {

// Answers "Здание..." from inside its event loop: `fill` types into it, then "Принять".
void AnswerBuildingDialog(std::function<void(QDialog*)> fill) {
    QTimer::singleShot(0, [fill] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        ASSERT_EQ(dialog->objectName(), "TF_Building");
        fill(dialog);
        auto* buttons = dialog->findChild<QDialogButtonBox*>("ButtonsBuilding");
        QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
}

}  // namespace

// "Здание..." edits what the engineer writes of the building: title, notes and room names.
// They mark the building changed, are undone like the rooms, and saved and opened back.
TEST_F(ProjectWindowTest, TheBuildingsTitleNotesAndNamesAreEditedSavedAndUndone) {
    EnterThreeRooms();
    ASSERT_TRUE(main_->SaveFile(Path("named.json")));
    const std::string shown = Shown();
    AnswerBuildingDialog([](QDialog* dialog) {
        auto* grid = dialog->findChild<QTableWidget*>("GridRoomNames");
        ASSERT_EQ(grid->rowCount(), 3);
        EXPECT_EQ(grid->item(1, 0)->text(), "Помещение №2");
        EXPECT_EQ(grid->item(1, 1)->text(), "6 × 5 × 3");
        EXPECT_FALSE(grid->item(1, 1)->flags() & Qt::ItemIsEditable);  // sizes change in the editor only
        grid->item(1, 2)->setText("Коридор");
        dialog->findChild<QLineEdit*>("EditTitle")->setText("Склад №3");
        dialog->findChild<QPlainTextEdit*>("EditNotes")->setPlainText("Первая строка\nвторая");
    });
    Action("ActBuilding")->trigger();
    const zf::project::Document edited = main_->CurrentDocument();
    EXPECT_EQ(edited.Title, "Склад №3");
    EXPECT_EQ(edited.Notes, "Первая строка\nвторая");
    EXPECT_EQ(edited.Rooms[0].Name, "");
    EXPECT_EQ(edited.Rooms[1].Name, "Коридор");
    EXPECT_TRUE(main_->windowTitle().endsWith("named.json*"));
    EXPECT_EQ(Grid("GridRoom")->item(2, 1)->toolTip(), "Коридор");

    // One step of the history: undone, the building is the saved one again; redone, the texts are back.
    main_->UndoStack()->undo();
    EXPECT_FALSE(main_->IsModified());
    EXPECT_EQ(main_->CurrentDocument().Title, "");
    EXPECT_EQ(Shown(), shown);
    main_->UndoStack()->redo();
    EXPECT_EQ(main_->CurrentDocument(), edited);

    // Saved and opened back, the same texts.
    ASSERT_TRUE(main_->SaveFile(Path("named.json")));
    ASSERT_TRUE(main_->FileNew());
    ASSERT_TRUE(main_->OpenFile(Path("named.json")));
    EXPECT_EQ(main_->CurrentDocument(), edited);

    // Accepted unchanged, the dialog changes nothing and adds no step.
    const int steps = main_->UndoStack()->count();
    AnswerBuildingDialog([](QDialog*) {});
    Action("ActBuilding")->trigger();
    EXPECT_EQ(main_->UndoStack()->count(), steps);
    EXPECT_FALSE(main_->IsModified());

}

// The names follow the rooms: room 1 deleted, "Коридор" is room 1's now; a room added has no name.
TEST_F(ProjectWindowTest, TheRoomsNamesFollowTheRoomsWhenOneIsDeletedOrAdded) {
    EnterThreeRooms();
    AnswerBuildingDialog([](QDialog* dialog) {
        dialog->findChild<QTableWidget*>("GridRoomNames")->item(1, 2)->setText("Коридор");
        dialog->findChild<QLineEdit*>("EditTitle")->setText("Склад №3");
    });
    Action("ActBuilding")->trigger();
    Click(Grid("GridRoom"), 1, 1);
    QTest::mouseClick(Find<QToolButton>("btnDelRoom"), Qt::LeftButton);
    AddRoom("2", "2", "2");
    const zf::project::Document after = main_->CurrentDocument();
    ASSERT_EQ(after.Rooms.size(), 3u);
    EXPECT_EQ(after.Rooms[0].Name, "Коридор");
    EXPECT_EQ(after.Rooms[2].Name, "");
    EXPECT_EQ(after.Title, "Склад №3");
}
