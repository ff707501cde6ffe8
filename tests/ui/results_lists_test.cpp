// The results window, continued: the radio lists and pages follow the room shown, zoom, an
// empty or closed scenario, a calculated building, a stopped run.
#include <QAbstractItemModel>
#include <QApplication>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QLabel>
#include <QLegend>
#include <QTest>
#include <QScrollBar>
#include <QLegendMarker>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QValueAxis>
#include <QXYSeries>
#include <gtest/gtest.h>

#include <cstdio>
#include <ostream>

#include "results_driver.h"
#include "../model/test_buildings.h"

namespace {

TEST_F(ResultsWindow, RadioListsFollowTheRoomShown) {
    Fill(zm, 2, 10, 10, 0.01);
    w.PrepareResults(zm);
    TRadioGroup* params = Radio("RadioResults");
    TRadioGroup* hazards = Radio("RadioOFP");
    EXPECT_EQ(params->ItemText(1), QString("Производительность конвективной колонки"));
    EXPECT_EQ(hazards->ItemCount(), 7);

    Find<QComboBox>("ComboResultRooms")->setCurrentIndex(1);
    EXPECT_EQ(params->ItemText(1), QString("Поступление газа через проемы"));
    EXPECT_EQ(hazards->ItemCount(), 6);
    Find<QComboBox>("ComboResultRooms")->setCurrentIndex(0);
    EXPECT_EQ(params->ItemText(1), QString("Производительность конвективной колонки"));
    ASSERT_EQ(hazards->ItemCount(), 7);

    // Room 2 with the radiation selected: its radiation chart is drawn, then the item goes and
    // the selection moves to item 5 without a redraw.
    ShowHazards();
    hazards->Item(zf::hkRadiation)->click();
    Find<QComboBox>("ComboOFPRooms")->setCurrentIndex(1);
    EXPECT_EQ(ChartText("ChartTitle"), QString("График зависимости теплового излучения от времени"));
    EXPECT_DOUBLE_EQ(Series("Series1")->at(3).y(), Value(1, 10, 3));
    EXPECT_EQ(hazards->ItemCount(), 6);
    EXPECT_EQ(hazards->ItemIndex(), 5);

    // Back in room 1 the item is appended again; the selection stays on item 5.
    Find<QComboBox>("ComboOFPRooms")->setCurrentIndex(0);
    ASSERT_EQ(hazards->ItemCount(), 7);
    EXPECT_EQ(hazards->ItemText(6), QString("По критической величине теплового излучения"));
    EXPECT_EQ(hazards->ItemIndex(), 5);
    EXPECT_EQ(ChartText("ChartTitle"), QString("График зависимости парциальной плотности хлороводорода от времени"));
}

TEST_F(ResultsWindow, EachPageKeepsItsRoomAndQuantity) {
    Fill(zm, 2, 10, 10, 0.01);
    w.PrepareResults(zm);
    Find<QComboBox>("ComboResultRooms")->setCurrentIndex(1);
    Radio("RadioResults")->Item(3)->click();
    EXPECT_DOUBLE_EQ(Series("Series1")->at(2).y(), Value(1, 3, 2));

    ShowHazards();
    EXPECT_EQ(Find<QComboBox>("ComboOFPRooms")->currentIndex(), 0);
    Radio("RadioOFP")->Item(zf::hkVisibility)->click();
    EXPECT_DOUBLE_EQ(Series("Series1")->at(2).y(), Value(0, 8, 2));

    ShowParameters();
    EXPECT_EQ(Find<QComboBox>("ComboResultRooms")->currentIndex(), 1);
    EXPECT_DOUBLE_EQ(Series("Series1")->at(2).y(), Value(1, 3, 2));
    EXPECT_FALSE(Series("Series4")->isVisible());
}

TEST_F(ResultsWindow, ChartAndTableMoveToTheTabShown) {
    Fill(zm, 1, 10, 10, 0.01);
    w.PrepareResults(zm);
    ShowHazards();
    ShowTable("PageOFP");
    EXPECT_EQ(Find<QTableView>("GridResult")->parentWidget(), Find<QWidget>("TabOFPTable"));
    EXPECT_EQ(Cell(0, 1), QString("T, К"));

    ShowParameters();
    ShowTable("PageResults");
    EXPECT_EQ(Find<QTableView>("GridResult")->parentWidget(), Find<QWidget>("TabResultTable"));
    EXPECT_EQ(Cell(0, 1), QString("Fп, м²"));
    EXPECT_EQ(Cell(4, 1), QString::number(Value(0, 0, 3)));

    ShowHazards();
    ShowChart("PageOFP");
    EXPECT_EQ(Find<QChartView>("ChartResult")->parentWidget(), Find<QWidget>("TabOFPChart"));
    ShowParameters();
    ShowChart("PageResults");
    EXPECT_EQ(Find<QChartView>("ChartResult")->parentWidget(), Find<QWidget>("TabResultChart"));
}

TEST_F(ResultsWindow, RedrawUndoesTheZoom) {
    Fill(zm, 1, 10, 10, 0.01);
    w.PrepareResults(zm);
    QChart* chart = Find<QChartView>("ChartResult")->chart();
    chart->zoomIn();
    ASSERT_TRUE(chart->isZoomed());
    Radio("RadioResults")->Item(2)->click();
    EXPECT_FALSE(chart->isZoomed());
}

TEST_F(ResultsWindow, ScenarioWithoutRoomsShowsEmptyViews) {
    zm.SampleCount = 5;
    zm.StepsPerSample = 10;
    zm.dt = 0.01;
    w.PrepareResults(zm);
    EXPECT_EQ(Find<QComboBox>("ComboResultRooms")->count(), 0);
    EXPECT_EQ(Series("Series1")->count(), 0);
    Radio("RadioResults")->Item(1)->click();
    ShowHazards();
    EXPECT_EQ(Series("Series4")->count(), 0);
    ShowTable("PageOFP");
    EXPECT_EQ(GridRows(), 1);
    EXPECT_EQ(Radio("RadioOFP")->ItemCount(), 7);
}

TEST_F(ResultsWindow, ClosedWindowNoLongerDrawsTheDiscardedScenario) {
    Fill(zm, 2, 10, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    w.close();
    // The main window replaces the scenario after closing; a late event must not read it.
    zm.Room(1).Samples.clear();
    zm.Rooms.clear();
    Find<QComboBox>("ComboResultRooms")->setCurrentIndex(1);
    Radio("RadioResults")->Item(5)->click();
    ASSERT_EQ(Series("Series1")->count(), 10);
    EXPECT_DOUBLE_EQ(Series("Series1")->at(4).y(), Value(0, 0, 4));
}

// A table of 2001 rows and a chart of 2000 points appear without a noticeable pause.
// After a real calculation: two rooms joined by a doorway, two minutes at a coarse step.
TEST_F(ResultsWindow, ShowsACalculatedBuilding) {
    testing_zf::SetDefaultInputs(zm);
    zm.SimTime = 120;
    zm.dt = 0.01;
    testing_zf::BuildTwoRooms(zm);
    ASSERT_TRUE(zm.Run());
    ASSERT_EQ(zm.SampleCount, 1200);
    w.PrepareResults(zm);
    ShowTable("PageResults");
    EXPECT_EQ(GridRows(), 1201);
    EXPECT_EQ(Cell(1, 0), QString("0,05"));
    EXPECT_EQ(Cell(1200, 0), QString("119,95"));

    ShowHazards();
    ShowChart("PageOFP");
    int reached = 0;
    for (int room = 0; room < 2; ++room) {
        Find<QComboBox>("ComboOFPRooms")->setCurrentIndex(room);
        TRadioGroup* list = Radio("RadioOFP");
        EXPECT_EQ(list->ItemCount(), room == 0 ? 7 : 6);
        for (int k = 0; k < list->ItemCount(); ++k) {
            list->Item(k)->click();
            const auto kind = static_cast<zf::HazardKind>(k);
            const double t = zm.Room(room).CritTimeOf(kind);
            const double c = zm.CritOf(kind);
            if (t == 0) {  // not reached: the limit alone, no point
                EXPECT_EQ(Series("Series4")->count(), 0) << room << " " << k;
                ASSERT_EQ(Series("Series2")->count(), 2);
                EXPECT_EQ(Series("Series2")->at(1).y(), c);
            } else {
                EXPECT_EQ(Series("Series4")->at(0), QPointF(t, c)) << room << " " << k;
                EXPECT_EQ(Series("Series2")->at(2), QPointF(t, 0));
            }
            EXPECT_EQ(Series("Series1")->count(), 1200);
            reached += t > 0;
        }
    }
    EXPECT_GT(reached, 0);  // the fire reaches some limits within two minutes
}

// Each showing opens the table at its first row, wherever the last showing left it.
TEST_F(ResultsWindow, TableOpensAtItsTopAtEachShowing) {
    Fill(zm, 1, 500, 10, 0.01);
    QScrollBar* bar = Find<QTableView>("GridResult")->verticalScrollBar();
    for (int showing = 0; showing < 2; ++showing) {
        w.show();
        w.PrepareResults(zm);
        ShowTable("PageResults");
        QApplication::processEvents();
        EXPECT_EQ(bar->value(), 0) << showing;
        bar->setValue(bar->maximum());
        ASSERT_GT(bar->value(), 0);
        w.hide();
    }
}

// A double click undoes the zoom; the right button keeps its context menu.
TEST_F(ResultsWindow, DoubleClickUndoesTheZoom) {
    Fill(zm, 1, 100, 10, 0.01);
    w.show();
    w.PrepareResults(zm);
    QApplication::processEvents();
    auto* view = Find<QChartView>("ChartResult");
    QChart* chart = view->chart();
    chart->zoomIn();
    ASSERT_TRUE(chart->isZoomed());
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, chart->plotArea().center().toPoint());
    EXPECT_FALSE(chart->isZoomed());
    EXPECT_EQ(view->contextMenuPolicy(), Qt::ActionsContextMenu);
    w.hide();
}

// A run the user stopped says where, in the caption of the results and of the summary and in
// a banner over each, with the time reached (steps × step) in the window's number format.
TEST_F(ResultsWindow, StoppedRunSaysWhereInTheCaptionsAndBanners) {
    Fill(zm, 1, 10, 10, 0.01);
    const struct {
        int steps;
        double dt;
        const char* text;
    } cases[] = {{4120, 0.01, "41,2"}, {3730, 0.01, "37,3"}, {5, 0.01, "0,05"}, {12345, 0.001, "12,345"}};
    w.show();
    for (const auto& c : cases) {
        zm.Stopped = true;
        zm.Iter = c.steps;
        zm.dt = c.dt;
        w.PrepareResults(zm);
        EXPECT_EQ(w.windowTitle(), QString("Результаты расчета — Расчет остановлен на %1 с").arg(c.text));
        const QString banner = QString("Расчет остановлен на %1 с: показаны результаты до этого времени").arg(c.text);
        EXPECT_EQ(Find<QLabel>("LabelRunEnd")->text(), banner);
        EXPECT_TRUE(Find<QLabel>("LabelRunEnd")->isVisible());
        w.btnCritTimesClick();
        auto* summary = w.findChild<QDialog*>("TF_CritTimes");
        ASSERT_NE(summary, nullptr);
        EXPECT_EQ(summary->windowTitle(), QString("Критические времена — Расчет остановлен на %1 с").arg(c.text));
        auto* line = summary->findChild<QLabel*>("LabelStopped");
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(line->text(), banner);
        EXPECT_FALSE(line->isHidden());
    }
    zm.Stopped = false;  // the next, completed run: no note left over
    w.PrepareResults(zm);
    EXPECT_EQ(w.windowTitle(), "Результаты расчета");
    EXPECT_TRUE(Find<QLabel>("LabelRunEnd")->isHidden());
    w.btnCritTimesClick();
    auto* summary = w.findChild<QDialog*>("TF_CritTimes");
    EXPECT_EQ(summary->windowTitle(), "Критические времена");
    EXPECT_TRUE(summary->findChild<QLabel*>("LabelStopped")->isHidden());
    w.hide();
}

}  // namespace
