// "Пути эвакуации": the routes' and segments' tables with the computed D, V, q, time and delay
// beside the inputs, computed again at every edit; entries refused naming the route, the
// segment and the column; routes and segments added and removed; the diagram; the main
// window keeps the routes with the building (undone) and hands them to the run.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUndoStack>
#include <QMessageBox>
#include <QTemporaryDir>
#include <fstream>
#include <gtest/gtest.h>

#include "editor_driver.h"
#include "routes_dialog.h"
#include "u_CritTimes.h"
#include "u_main.h"

namespace {

using namespace routes_columns;

// The second worked route (100 people, f 0,125: room 20 × 2,5 m, door 1,0 m, corridor 15 × 2 m:
// a crowd before the door, Δt 1,6169 min) and a route of 5 people (f 0,1) from a 5 × 2 m room
// joining its corridor: D = 0,5/10 = 0,05 → V 100, q 5, 0,05 min. In the corridor
// Σ q·δ = 6,25·1,0 + 5·2 = 16,25, q = 8,125 → V = 80 − 20·0,125/4 = 79,375, 15/79,375 = 0,1890 min:
// t_р = 0,3738 + 1,6169 + 0,1890 = 2,1797 min (130,8 s) and 0,05 + 0,1890 = 0,2390 min (14,3 s).
std::vector<zf::flow::Route> TwoRoutes() {
    using zf::flow::SegmentKind;
    zf::flow::Route a;
    a.Name = "Зал";
    a.People = 100;
    a.Projection = zf::flow::kAdultWinter;
    a.StartDelay = 30;
    a.Segments = {{SegmentKind::Horizontal, 20, 2.5, 1}, {SegmentKind::Doorway, 0, 1.0, 1}, {SegmentKind::Horizontal, 15, 2}};
    zf::flow::Route b;
    b.People = 5;
    b.Segments = {{SegmentKind::Horizontal, 5, 2}};
    b.JoinsInto = zf::flow::Join{0, 2};
    return {a, b};
}

class RoutesDialog : public ::testing::Test {
protected:
    void SetUp() override {
        dialog.SetErrorReporter([this](const QString& m) { reported = m; });
        routes = dialog.findChild<QTableWidget*>("TableRoutes");
        segments = dialog.findChild<QTableWidget*>("TableSegments");
        result = dialog.findChild<QLabel*>("LabelRoutesResult");
        ASSERT_TRUE(routes && segments && result);
        dialog.Show(TwoRoutes(), 2);
    }
    QString Cell(int row, int column) const { return segments->item(row, column)->text(); }
    QString Refusal() {
        QString why;
        EXPECT_FALSE(dialog.Routes(&why).has_value());
        return why;
    }
    void Click(const char* name) { dialog.findChild<QPushButton*>(name)->click(); }

    TF_Routes dialog;
    QTableWidget* routes = nullptr;
    QTableWidget* segments = nullptr;
    QLabel* result = nullptr;
    QString reported;
};

TEST_F(RoutesDialog, ShowsTheFlowBesideTheInputs) {
    EXPECT_EQ(dialog.windowTitle(), "Пути эвакуации");
    ASSERT_EQ(routes->rowCount(), 2);
    ASSERT_EQ(segments->rowCount(), 4);
    EXPECT_EQ(routes->item(0, Name)->text(), "Зал");
    EXPECT_EQ(qobject_cast<QComboBox*>(routes->cellWidget(0, Projection))->currentText(), "0,125");
    EXPECT_EQ(routes->item(1, JoinSegment)->text(), "3");
    EXPECT_EQ(Cell(0, Speed), "53,50");        // D 0,25 between the rows 0,2 and 0,3
    EXPECT_EQ(Cell(1, Density), "≥ 0,900");    // the crowd before the door
    EXPECT_EQ(Cell(1, Intensity), "6,25");     // 2,5 + 3,75·1,0
    EXPECT_EQ(Cell(1, Speed), "—");            // a door takes no time of its own
    EXPECT_EQ(Cell(1, Delay), "1,617");
    EXPECT_TRUE(result->text().contains("Путь 1: tр = 2,180 мин (130,8 с), tск = 2,000 мин\nПуть 2: tр = 0,239 мин (14,3 с)"))
        << result->text().toStdString();
    const auto read = dialog.Routes(nullptr);
    ASSERT_TRUE(read);
    EXPECT_EQ(*read, TwoRoutes());
    EXPECT_NE(dialog.findChild<QWidget*>("RoutesDiagram"), nullptr);
}

TEST_F(RoutesDialog, AnEditComputesAgain) {
    segments->item(1, Width)->setText("2,5");  // the door as wide as the room: no crowd
    EXPECT_EQ(Cell(1, Delay), "0,000");
    EXPECT_FALSE(Cell(1, Density).startsWith("≥"));
    qobject_cast<QComboBox*>(segments->cellWidget(1, Kind))->setCurrentIndex(static_cast<int>(zf::flow::SegmentKind::StairsUp));
    segments->item(1, Length)->setText("4");
    EXPECT_NE(Cell(1, Speed), "—");  // a stair takes time
}

struct Bad {
    bool Route;  // a cell of the routes' table, else of the segments'
    int Row, Column;
    const char* Typed;
    const char* Says;
};
class RoutesDialogRefusal : public RoutesDialog, public testing::WithParamInterface<Bad> {};

TEST_P(RoutesDialogRefusal, NamesRouteSegmentAndColumnAndKeepsTheDialogOpen) {
    (GetParam().Route ? routes : segments)->item(GetParam().Row, GetParam().Column)->setText(QString::fromUtf8(GetParam().Typed));
    const QString why = Refusal();
    EXPECT_TRUE(why.contains(QString::fromUtf8(GetParam().Says))) << why.toStdString();
    EXPECT_TRUE(result->text().startsWith("Не рассчитано")) << result->text().toStdString();
    EXPECT_EQ(Cell(0, Density), "—");  // no figure is left from before
    Click("btnOk");
    EXPECT_EQ(reported, why);
    EXPECT_NE(dialog.result(), QDialog::Accepted);
}

INSTANTIATE_TEST_SUITE_P(
    , RoutesDialogRefusal,
    testing::Values(Bad{false, 1, Width, "abc", "Путь 1, участок 2, столбец «δ, м»"},
                    Bad{false, 0, Length, "", "Путь 1, участок 1, столбец «l, м»"},
                    Bad{false, 1, Width, "0", "путь 1, участок 2, ключ \"width\""},
                    Bad{true, 0, People, "-3", "Путь 1, столбец «N, чел.»"},
                    Bad{true, 1, JoinSegment, "1", "первый участок"},
                    Bad{true, 1, JoinRoute, "2", "путь 2, участок 1, ключ \"joins\": поток уходит в никуда"},
                    Bad{true, 1, JoinRoute, "", "укажите и путь, и участок"},
                    Bad{false, 0, Room, "7", "нет помещения №7"},
                    Bad{false, 3, Of, "5", "нет пути №5"}));

TEST_F(RoutesDialog, RoutesAndSegmentsAddedAndRemoved) {
    Click("BtnAddRoute");
    ASSERT_EQ(routes->rowCount(), 3);
    EXPECT_EQ(segments->rowCount(), 5);
    segments->setCurrentCell(0, Length);
    Click("BtnAddSegment");  // after route 1's last segment, before route 2's
    ASSERT_EQ(segments->rowCount(), 6);
    EXPECT_EQ(segments->item(3, Of)->text(), "1");
    EXPECT_EQ(segments->item(4, Of)->text(), "2");
    ASSERT_TRUE(dialog.Routes(nullptr));
    EXPECT_EQ(dialog.Routes(nullptr)->front().Segments.size(), 4u);
    routes->setCurrentCell(0, Name);
    Click("BtnDelRoute");  // route 1 goes with its segments; route 2 now flows into nothing
    EXPECT_EQ(routes->rowCount(), 2);
    EXPECT_EQ(segments->rowCount(), 2);
    EXPECT_EQ(segments->item(0, Of)->text(), "1");
    EXPECT_TRUE(Refusal().contains("в никуда"));
    segments->setCurrentCell(0, Length);
    Click("BtnDelSegment");
    EXPECT_EQ(segments->rowCount(), 1);
}

// The critical-times summary shows each route's t_р, t_ск and P_э under the building's line.
TEST(RoutesSummary, TheCriticalTimesSummaryShowsEachRoute) {
    zf::TzoneMath zm;
    zm.AddRoom(4, 5, 3);
    zm.AddRoom(30, 2, 3);
    zm.dt = 0.1;
    zm.Iter = 6000;  // t_end 600 s
    zm.Room(0).CritTimeT = 100;
    zm.Room(1).CritTimeVis = 300;
    zfreport::EvacuationInputs inputs;
    inputs.Routes = TwoRoutes();
    TF_CritTimes summary;
    summary.Fill(zm, {}, inputs, {});
    const auto* label = summary.findChild<QLabel*>("LabelVerdict");
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->text().contains("Путь 1: tр = 2,180 мин (130,8 с), tск = 2,000 мин, Pэ = 0,999 — безопасно"))
        << label->text().toStdString();
    EXPECT_TRUE(label->text().contains("Путь 2: tр = 0,239 мин (14,3 с)")) << label->text().toStdString();
}

class RoutesWindow : public EditorTest {};

// From the "Правка" menu: the routes go with the building, are undone, and the run judges them.
TEST_F(RoutesWindow, RoutesKeptWithTheBuildingAndUndone) {
    AddRoom("5", "4", "3");
    ASSERT_NE(Find<QAction>("ActRoutes"), nullptr);
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->findChild<QPushButton*>("BtnAddRoute")->click();
        dialog->findChild<QPushButton*>("btnOk")->click();
    });
    Find<QAction>("ActRoutes")->trigger();
    const zf::project::Document shown = main_->CurrentDocument();
    ASSERT_EQ(shown.Routes.size(), 1u);
    EXPECT_EQ(shown.Routes[0].People, 10);
    EXPECT_EQ(shown.Evacuation().Routes, shown.Routes);
    EXPECT_TRUE(main_->IsModified());
    main_->UndoStack()->undo();
    EXPECT_TRUE(main_->CurrentDocument().Routes.empty());
}

// Deleting a room keeps each route segment on its own room: later rooms move up, the deleted
// room's segments keep none and the window says so; undo gives the routes back as they were.
TEST_F(RoutesWindow, DeletingARoomKeepsTheSegmentsOnTheirRooms) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("three.json"));
    {
        std::ofstream out(path.toStdString());
        out << R"({"rooms": [{}, {}, {}], "evacuation_routes": [{"people": 20, "segments": [
              {"kind": "horizontal", "length": 5, "width": 1, "room": 3},
              {"kind": "horizontal", "length": 5, "width": 1, "room": 2},
              {"kind": "horizontal", "length": 5, "width": 1, "room": 1}]}]})";
    }
    ASSERT_TRUE(main_->OpenFile(path));
    QString said;
    WhenModal("QMessageBox", [&said](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        static_cast<QMessageBox*>(box)->accept();
    });
    Click(Grid("GridRoom"), 2, 1);
    Press("btnDelRoom");
    const auto rooms = [this] {
        std::vector<int> r;
        // The document is returned by value: keep it alive while its segments are read.
        const auto document = main_->CurrentDocument();
        for (const auto& segment : document.Routes.at(0).Segments) r.push_back(segment.Room);
        return r;
    };
    EXPECT_EQ(rooms(), (std::vector<int>{1, -1, 0}));
    EXPECT_TRUE(said.contains(QStringLiteral("Помещение №2 удалено"))) << said.toStdString();
    main_->UndoStack()->undo();
    EXPECT_EQ(rooms(), (std::vector<int>{2, 1, 0}));
}

}  // namespace
