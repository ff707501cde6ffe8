// Taking the results away, continued: the table's rows copied, the shown room as CSV, the
// names proposed.
#include "result_export_fixture.h"

namespace {

// ---- Copying the table ----------------------------------------------------------------------

TEST_F(ResultsExport, CtrlCCopiesTheSelectedRowsWithTheHeaderRow) {
    Fill(zm, 1, 30, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    Radio("RadioResults")->Item(4)->click();  // T2
    ShowTable("PageResults");
    QTableView* grid = Find<QTableView>("GridResult");
    // Rows 3 and 5 of the samples, picked apart, the later one first.
    grid->selectionModel()->select(grid->model()->index(4, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    grid->selectionModel()->select(grid->model()->index(2, 1),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    QApplication::setActiveWindow(&w);
    grid->setFocus();
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Clipboard(), QString("Время (t), с.\tT2, К\n0,25\t1402\n0,45\t1404\n"));
    EXPECT_EQ(Clipboard(), QString("%1\t%2\n%3\t%4\n%5\t%6\n")
                               .arg(Cell(0, 0), Cell(0, 1), Cell(3, 0), Cell(3, 1), Cell(5, 0), Cell(5, 1)));
}

TEST_F(ResultsExport, CopiesEveryRowWhenNoneIsSelected) {
    Fill(zm, 2, 2000, 1000, 0.0001);
    for (zf::ResultSample& s : zm.Room(1).Samples) s.O2w = 0.2305;
    zm.Room(1).Samples.back().O2w = 0.230512345;  // shown as 0,2305, copied whole
    w.PrepareResults(zm);
    ShowHazards();
    Find<QComboBox>("ComboOFPRooms")->setCurrentIndex(1);
    Radio("RadioOFP")->Item(zf::hkOxygen)->click();
    ShowTable("PageOFP");
    Trigger("ActCopyRows");
    const QStringList lines = Clipboard().split('\n');
    ASSERT_EQ(lines.size(), 2001 + 1);  // the last line ends with a line break too
    EXPECT_EQ(lines[0], QString("Время (t), с.\tρ(O₂), кг/м³"));
    EXPECT_EQ(lines[1], QString("0,05\t0,2305"));
    EXPECT_EQ(lines[2000], QString("199,95\t0,230512345"));
    EXPECT_EQ(lines[2001], QString());
}

// ---- The shown room as CSV ------------------------------------------------------------------

// After a real calculation: room 2's file holds all its samples, every number reading back to
// the same double.
TEST_F(ResultsExport, CsvOfTheShownRoomReadsBackBitExact) {
    testing_zf::SetDefaultInputs(zm);
    zm.SimTime = 40;  // the smoke reaches room 2 after about 25 s
    zm.dt = 0.01;
    testing_zf::BuildTwoRooms(zm);
    ASSERT_TRUE(zm.Run());
    w.PrepareResults(zm);
    ShowHazards();
    Find<QComboBox>("ComboOFPRooms")->setCurrentIndex(1);
    ShowTable("PageOFP");
    Answer("room", "zonefire-cli");  // the runner's form; the suffix is added
    Trigger("ActSaveCsv");
    EXPECT_EQ(askedName, QString("Помещение_2.csv"));
    ASSERT_EQ(askedFilters.size(), 2);
    EXPECT_TRUE(askedFilters[0].contains("«;» и десятичная запятая"));  // offered first

    const QList<QByteArray> lines = ReadAll(dir.filePath("room.csv")).split('\n');
    ASSERT_EQ(lines.size(), zm.SampleCount + 2);  // header, samples, empty after the last break
    EXPECT_EQ(lines[0], QByteArray("t,Fp,Gk,Yk,Ro2,T2,Gm,YkPred,Tw,Lw,O2w,qRad,COw,CO2w,HClw"));
    const zf::TRoom& room = zm.Room(1);
    for (int m = 0; m < zm.SampleCount; ++m) {
        const QList<QByteArray> cells = lines[m + 1].split(',');
        ASSERT_EQ(cells.size(), 15) << m;
        std::vector<double> v(15);
        for (int i = 0; i < 15; ++i) {
            const auto parsed = std::from_chars(cells[i].constData(), cells[i].constData() + cells[i].size(), v[i]);
            ASSERT_EQ(parsed.ec, std::errc()) << cells[i].toStdString();
        }
        EXPECT_TRUE(SameBits(v[0], zfreport::SampleTime(zm, m))) << m;
        for (int e = 0; e < zf::ResultSample::kCount; ++e)
            ASSERT_TRUE(SameBits(v[e + 1], room.Samples[m][e])) << zf::ResultSample::Name(e) << '[' << m << ']';
    }
    EXPECT_GT(room.Samples[350].T2, zm.T0);  // the smoke has reached room 2: real numbers
}

TEST_F(ResultsExport, NothingToSaveOnceTheWindowIsClosed) {
    Fill(zm, 1, 10, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    ShowTable("PageResults");
    w.close();  // the main window discards the scenario now
    Answer("late.csv");
    Trigger("ActSaveCsv");
    EXPECT_FALSE(QFile::exists(dir.filePath("late.csv")));
}

// The proposed names say which room and which quantity; outside the fire room parameter 1 is
// the inflow through the doorways.
TEST_F(ResultsExport, ProposedNamesSayTheRoomAndTheQuantity) {
    Fill(zm, 2, 30, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    const struct {
        int room;
        bool hazards;
        int item;
        const char* name;
    } cases[] = {{0, false, 1, "Помещение_1_расход_колонки.png"}, {1, false, 1, "Помещение_2_поступление_газа.png"},
                 {1, false, 4, "Помещение_2_температура_газа.png"}, {1, true, 2, "Помещение_2_видимость.png"},
                 {0, true, zf::hkRadiation, "Помещение_1_тепловое_излучение.png"}};
    for (const auto& c : cases) {
        if (c.hazards) ShowHazards(); else ShowParameters();
        Find<QComboBox>(c.hazards ? "ComboOFPRooms" : "ComboResultRooms")->setCurrentIndex(c.room);
        Radio(c.hazards ? "RadioOFP" : "RadioResults")->Item(c.item)->click();
        Answer({});
        Trigger("ActSaveChart");
        EXPECT_EQ(askedName, QString(c.name));
    }
    // The saved picture names the room in its title; the window's title stays as it was.
    Answer("radiation.svg");
    Trigger("ActSaveChart");
    EXPECT_TRUE(ReadAll(dir.filePath("radiation.svg")).contains("<title>Помещение №1. График"));
    EXPECT_EQ(ChartText("ChartTitle"), "График зависимости теплового излучения от времени");
}

// The first CSV form opens as columns in a Russian spreadsheet: a byte-order mark for the
// Cyrillic header, ";" between cells, every quantity named with its unit, and numbers with a
// decimal comma as the table shows them.
TEST_F(ResultsExport, SpreadsheetCsvHasARussianHeaderWithUnitsAndCommaNumbers) {
    Fill(zm, 2, 30, 10, 0.01);
    zm.Room(1).Samples[1].T2 = 0.1 + 0.2;  // 0.30000000000000004
    w.PrepareResults(zm);
    Find<QComboBox>("ComboResultRooms")->setCurrentIndex(1);
    ShowTable("PageResults");
    Answer("room2");  // the form offered first
    Trigger("ActSaveCsv");
    const QByteArray bytes = ReadAll(dir.filePath("room2.csv"));
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(bytes.mid(3)).split('\n');
    ASSERT_EQ(lines.size(), 30 + 2);  // header, samples, empty after the last break
    const QStringList header = lines[0].split(';');
    ASSERT_EQ(header.size(), 15);
    EXPECT_EQ(header[0], "Время, с");
    EXPECT_EQ(header[2], "Поступление газа через проемы, кг/с");
    EXPECT_EQ(header[5], "Температура газа в задымленной зоне, К");
    EXPECT_EQ(header[11], "Тепловое излучение, Вт/м²");
    for (const QString& title : header) EXPECT_TRUE(title.contains(", ")) << title.toStdString();  // a unit each
    const QStringList second = lines[2].split(';');
    ASSERT_EQ(second.size(), 15);
    EXPECT_EQ(second[0], "0,15");  // not 0,15000000000000002
    EXPECT_EQ(second[5], "0,3");
    EXPECT_EQ(second[1], "2001");
    EXPECT_EQ(lines[30].split(';')[0], "2,95");
    // The fire room's column 1 is its plume.
    EXPECT_EQ(SpreadsheetRoomCsv(zm, 0).section('\n', 0, 0).split(';')[2], "Расход конвективной колонки, кг/с");
    EXPECT_TRUE(errors.isEmpty());
}

// A named room's saved chart says which room it is by its name as well.
TEST_F(ResultsExport, ASavedChartOfANamedRoomCarriesTheNameInItsTitle) {
    ScenarioDescription named;
    named.RoomNames = {QStringLiteral("Кабинет")};
    w.SetDescription(named);
    ShowTemperatureChart();
    Answer("named.svg");
    Trigger("ActSaveChart");
    EXPECT_EQ(ReadSvg(ReadAll(dir.filePath("named.svg"))).title, "Помещение №1 — Кабинет. " + kTemperatureTitle);
    EXPECT_EQ(ChartText("ChartTitle"), kTemperatureTitle);  // the window's own title stays short
}

}  // namespace
