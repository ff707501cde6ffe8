// The critical-times summary opened from the results window: every room by the seven factors,
// the earliest time of each room marked, copyable, and the same cells the runner prints.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "results_driver.h"
#include "project/scenario_file.h"
#include "u_CritTimes.h"
#include "../cli/subprocess.h"

namespace {

class CritTimesSummary : public ResultsWindow {
protected:
    // zonefire-cli on `file` prints what the summary shows for it (see its definition).
    void ExpectWhatTheRunnerPrints(const std::filesystem::path& file, int minMarks);

    void TearDown() override { w.hide(); }

    // Opens the summary with the window's button; null when it did not open.
    QTableWidget* Open() {
        Find<QToolButton>("btnCritTimes")->click();
        auto* dialog = w.findChild<TF_CritTimes*>();
        if (dialog == nullptr || !dialog->isVisible()) return nullptr;
        return dialog->findChild<QTableWidget*>("GridCritTimes");
    }
    // Row 0 is the header row.
    static QString Cell(const QTableWidget* grid, int row, int col) {
        if (row == 0) return grid->horizontalHeaderItem(col)->text();
        return grid->item(row - 1, col)->text();
    }
    static bool Bold(const QTableWidget* grid, int row, int col) { return grid->item(row - 1, col)->font().bold(); }
};

TEST_F(CritTimesSummary, ButtonSitsBesideThePageTabs) {
    auto* pages = Find<QTabWidget>("PageAllResults");
    QWidget* corner = pages->cornerWidget(Qt::TopRightCorner);
    ASSERT_NE(corner, nullptr);
    EXPECT_TRUE(corner->isAncestorOf(Find<QToolButton>("btnCritTimes")));
    EXPECT_TRUE(corner->isAncestorOf(Find<QToolButton>("btnReport")));  // the report beside it
    EXPECT_EQ(Find<QToolButton>("btnReport")->text(), QString("Отчет..."));
    EXPECT_EQ(Find<QToolButton>("btnCritTimes")->text(), QString("Критические времена"));
    EXPECT_EQ(pages->count(), 2);
}

TEST_F(CritTimesSummary, EveryRoomByTheSevenFactorsWithTheEarliestMarked) {
    Fill(zm, 3, 10, 10, 0.01);  // room r reaches factor k at 10·(r + 1) + k + 0.25 s
    zm.Room(0).CritTimeT = 0;    // not reached: O2 becomes room 1's earliest
    zm.Room(1).CritTimeHCl = 1.5;
    zm.Room(2).CritTimeCO = zm.Room(2).CritTimeT;  // a tie
    w.show();
    w.PrepareResults(zm);
    QTableWidget* grid = Open();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->rowCount(), 3);
    ASSERT_EQ(grid->columnCount(), 10);  // no evacuation inputs: the blocking time and its factor only

    const QStringList header{"Помещение", "T", "O2", "Vis", "CO", "CO2", "HCl", "Rad", "t_бл", "Определяющий ОФП"};
    for (int c = 0; c < 10; ++c) EXPECT_EQ(Cell(grid, 0, c), header[c]);
    // The short titles are explained by the hazard list's items.
    EXPECT_EQ(grid->horizontalHeaderItem(1 + zf::hkVisibility)->toolTip(), QString("По потере видимости в дыму"));
    EXPECT_EQ(grid->horizontalHeaderItem(1 + zf::hkRadiation)->toolTip(),
              QString("По критической величине теплового излучения"));

    const QStringList expected[3] = {
        {"Помещение №1", "—", "11,25*", "12,25", "13,25", "14,25", "15,25", "16,25"},
        {"Помещение №2", "20,25", "21,25", "22,25", "23,25", "24,25", "1,5*", "26,25"},
        {"Помещение №3", "30,25*", "31,25", "32,25", "30,25*", "34,25", "35,25", "36,25"},
    };
    for (int r = 1; r <= 3; ++r)
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(Cell(grid, r, c), expected[r - 1][c]) << r << ' ' << c;
            if (c > 0) {
                EXPECT_EQ(Bold(grid, r, c), expected[r - 1][c].endsWith('*')) << r << ' ' << c;
            }
        }
    const QStringList blocking[3] = {{"11,25", "пониженное содержание кислорода"},
                                     {"1,5", "хлороводород"},
                                     {"30,25", "повышенная температура, оксид углерода"}};
    for (int r = 1; r <= 3; ++r) {
        EXPECT_EQ(Cell(grid, r, 8), blocking[r - 1][0]) << r;
        EXPECT_EQ(Cell(grid, r, 9), blocking[r - 1][1]) << r;
    }
    auto* line = grid->window()->findChild<QLabel*>("LabelVerdict");
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->text().startsWith("Вывод по зданию: не сделан")) << line->text().toStdString();
}

// With evacuation inputs: t_нэ + t_р, 0,8·t_бл, the margin and the verdict, coloured, and the
// building's verdict under the table.
TEST_F(CritTimesSummary, VerdictColumnsColouredAndTheBuildingsLine) {
    Fill(zm, 3, 10, 10, 0.01);  // t_бл 10,25, 20,25 and 30,25 s
    zm.SimTime = 0.1;
    zm.Iter = 10;  // completed: its last step at 0,1 s
    zfreport::EvacuationInputs inputs;
    // Room 1: 8 ≤ 8,2 safe; room 2: 17 > 16,2 unsafe; room 3 without inputs.
    inputs.Rooms = {zfreport::EvacuationInput{3, 5}, zfreport::EvacuationInput{7, 10}};
    w.SetEvacuationInputs(inputs);
    w.show();
    w.PrepareResults(zm);
    QTableWidget* grid = Open();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->columnCount(), 14);
    const QStringList header{"t_нэ + t_р", "0,8·t_бл", "Запас", "Вывод"};
    const QStringList rows[3] = {{"8", "8,2", "+0,2 с", "безопасно"}, {"17", "16,2", "−0,8 с", "опасно"}, {"—", "—", "—", "не проверено"}};
    for (int c = 10; c < 14; ++c) {
        EXPECT_EQ(Cell(grid, 0, c), header[c - 10]);
        for (int r = 1; r <= 3; ++r) EXPECT_EQ(Cell(grid, r, c), rows[r - 1][c - 10]) << r << ' ' << c;
    }
    // The legend names the allowed column as its header does, with the factor in use.
    auto* legend = grid->window()->findChild<QLabel*>("LabelLegend");
    ASSERT_NE(legend, nullptr);
    EXPECT_TRUE(legend->text().contains(QString("запас = 0,8·t_бл − (t_нэ + t_р)"))) << legend->text().toStdString();
    EXPECT_FALSE(legend->text().contains(QString("f·t_бл"))) << legend->text().toStdString();
    EXPECT_EQ(grid->item(0, 13)->background().color(), VerdictColour(zfreport::Verdict::Safe));
    EXPECT_EQ(grid->item(1, 13)->background().color(), VerdictColour(zfreport::Verdict::Unsafe));
    EXPECT_EQ(grid->item(2, 13)->background().style(), Qt::NoBrush);
    EXPECT_NE(VerdictColour(zfreport::Verdict::Safe), VerdictColour(zfreport::Verdict::Unsafe));
    auto* line = grid->window()->findChild<QLabel*>("LabelVerdict");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QString("Вывод по зданию: опасно — помещения №2: t_нэ + t_р > 0,8·t_бл; "
                                    "не проверены (время эвакуации не задано): №3"));

    // The summary is refilled on each opening: without inputs the columns go again.
    w.SetEvacuationInputs({});
    grid = Open();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->columnCount(), 10);
}

// A stopped run reads "не определено" in every room with inputs, its reason on the cell and in
// the building's line; no margin stands beside it.
TEST_F(CritTimesSummary, AStoppedRunIsUndeterminedWithItsReason) {
    Fill(zm, 2, 10, 10, 0.01);  // t_бл 10,25 and 20,25 s
    zm.SimTime = 600;
    zm.Stopped = true;
    zm.Iter = 4120;  // stopped at 41,2 s; completed, room 1 would be "опасно" and room 2 "безопасно"
    zfreport::EvacuationInputs inputs;
    inputs.Rooms = {zfreport::EvacuationInput{10, 10}, zfreport::EvacuationInput{1, 1}};
    w.SetEvacuationInputs(inputs);
    w.show();
    w.PrepareResults(zm);
    QTableWidget* grid = Open();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->columnCount(), 14);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(grid->item(r, 13)->text(), QString("не определено")) << r;
        EXPECT_EQ(grid->item(r, 12)->text(), QString("—")) << r;
        EXPECT_EQ(grid->item(r, 13)->toolTip(), QString("расчет остановлен на 41,2 с (выполните расчет до конца)"));
        EXPECT_EQ(grid->item(r, 13)->background().color(), VerdictColour(zfreport::Verdict::Undetermined));
    }
    auto* line = grid->window()->findChild<QLabel*>("LabelVerdict");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), QString("Вывод по зданию: не определено — расчет остановлен на 41,2 с (выполните расчет до конца)"));
}

TEST_F(CritTimesSummary, CopiesLikeTheTable) {
    Fill(zm, 2, 10, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    QTableWidget* grid = Open();
    ASSERT_NE(grid, nullptr);
    const QString header = "Помещение\tT\tO2\tVis\tCO\tCO2\tHCl\tRad\tt_бл\tОпределяющий ОФП\n";
    const QString room2 =
        "Помещение №2\t20,25*\t21,25\t22,25\t23,25\t24,25\t25,25\t26,25\t20,25\tповышенная температура\n";

    // Nothing selected: the context menu's "Копировать" takes every room.
    ASSERT_EQ(grid->actions().size(), 1);
    EXPECT_EQ(grid->actions()[0]->text(), QString("Копировать"));
    grid->actions()[0]->trigger();
    const QString all = QGuiApplication::clipboard()->text();
    EXPECT_TRUE(all.startsWith(header + "Помещение №1\t10,25*\t")) << all.toStdString();
    EXPECT_TRUE(all.endsWith(room2)) << all.toStdString();

    // Ctrl+C with room 2 selected.
    QWidget* dialog = grid->window();
    QApplication::setActiveWindow(dialog);
    grid->setFocus();
    grid->selectRow(1);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), header + room2);

    w.hide();  // the summary goes with the results window
    EXPECT_FALSE(dialog->isVisible());
}

// ---- The same summary as the runner's ---------------------------------------------------------

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The runner's table lines, split into cells at the runs of two or more spaces that separate
// its columns; the legend and the outcome line that follow are left out.
std::vector<QStringList> RunnerCells(const std::string& out, int rooms) {
    std::vector<QStringList> rows;
    std::istringstream lines(out);
    std::string line;
    static const std::regex gap(" {2,}");
    for (int i = 0; i <= rooms && std::getline(lines, line); ++i) {
        QStringList cells;
        for (std::sregex_token_iterator it(line.begin(), line.end(), gap, -1), end; it != end; ++it)
            cells << QString::fromStdString(*it);
        rows.push_back(cells);
    }
    return rows;
}

// zonefire-cli on `file` prints the cells the window shows for the same scenario run here, with
// the point in place of the locale's comma; rooms named in the file are named in both.
void CritTimesSummary::ExpectWhatTheRunnerPrints(const std::filesystem::path& file, int minMarks) {
    const std::string text = ReadFile(file);
    ASSERT_EQ(zf::project::ReadScenario(text, zm), std::nullopt);
    zf::project::Document document;
    ASSERT_EQ(zf::project::ReadDocument(text, document), std::nullopt);
    ScenarioDescription description;
    for (const auto& room : document.Rooms) description.RoomNames << QString::fromStdString(room.Name);
    ASSERT_TRUE(zm.Run());
    const ChildResult cli = RunChild(ZONEFIRE_CLI, {file.string(), "--quiet"});
    ASSERT_EQ(cli.ExitCode, 0) << cli.Err;

    w.SetDescription(description);
    w.show();
    w.PrepareResults(zm);
    QTableWidget* grid = Open();
    ASSERT_NE(grid, nullptr);
    const std::vector<QStringList> printed = RunnerCells(cli.Out, zm.RoomCount());
    ASSERT_EQ(static_cast<int>(printed.size()), grid->rowCount() + 1) << cli.Out;
    int marks = 0;
    for (int r = 0; r <= grid->rowCount(); ++r) {
        ASSERT_EQ(printed[r].size(), grid->columnCount()) << cli.Out;
        for (int c = 0; c < grid->columnCount(); ++c) {
            const QString shown = Cell(grid, r, c);
            EXPECT_EQ(printed[r][c], QString(shown).replace(',', '.')) << r << ' ' << c;
            marks += shown.endsWith('*');
        }
    }
    EXPECT_GE(marks, minMarks);
}

TEST_F(CritTimesSummary, EqualsWhatTheRunnerPrints) {
    // The fire reaches some limit in four of the five rooms.
    ExpectWhatTheRunnerPrints(std::filesystem::path(ZONEFIRE_EXAMPLES) / "five_rooms_corridor.json", 4);
}

TEST_F(CritTimesSummary, NamedRoomsAreNamedAsTheRunnerNamesThem) {
    QTemporaryDir dir;
    const std::filesystem::path file = dir.filePath("named.json").toStdString();
    std::ofstream(file) << R"({"SimTime": 60, "dt": 0.01, "rooms": [
        {"length": 5, "width": 4, "height": 3, "name": "Кабинет"}, {"length": 6, "width": 5, "height": 3},
        {"length": 18, "width": 2, "height": 3, "name": "Коридор"}],
        "openings": [{"rooms": [1, 2], "height": 2, "width": 0.9, "open": true}, {"rooms": [2, 3], "height": 2, "width": 0.9, "open": true}]})";
    ExpectWhatTheRunnerPrints(file, 1);
    QTableWidget* grid = Open();
    EXPECT_EQ(Cell(grid, 1, 0), "Помещение №1 — Кабинет");
    EXPECT_EQ(Cell(grid, 2, 0), "Помещение №2");
    EXPECT_EQ(Cell(grid, 3, 0), "Помещение №3 — Коридор");
}

}  // namespace
