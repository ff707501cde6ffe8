// The results window, driven through its controls' object names on a scenario whose samples
// and critical times are filled by hand: every value tells its room, element and sample.
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
#include <QRegularExpression>
#include <QTabWidget>
#include <QTableView>
#include <QValueAxis>
#include <QXYSeries>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <ostream>

#include "number_text.h"
#include "results_driver.h"
#include "../model/test_buildings.h"

namespace {

TEST_F(ResultsWindow, PreparingListsTheRoomsOnBothPagesAndDrawsTheFirstChart) {
    Fill(zm, 3, 20, 10, 0.01);
    // Leave the window on another page and tab: preparing starts over on the first ones.
    ShowHazards();
    ShowTable("PageOFP");
    Radio("RadioResults")->Item(2)->click();
    w.PrepareResults(zm);

    for (const char* list : {"ComboResultRooms", "ComboOFPRooms"}) {
        auto* combo = Find<QComboBox>(list);
        ASSERT_EQ(combo->count(), 3);
        EXPECT_EQ(combo->itemText(0), QString("Помещение №1"));
        EXPECT_EQ(combo->itemText(2), QString("Помещение №3"));
        EXPECT_EQ(combo->currentIndex(), 0);
    }
    EXPECT_EQ(Find<QTabWidget>("PageAllResults")->currentWidget(), Find<QWidget>("TabResults"));
    EXPECT_EQ(Find<QTabWidget>("PageOFP")->currentIndex(), 0);
    EXPECT_EQ(Find<QChartView>("ChartResult")->parentWidget(), Find<QWidget>("TabResultChart"));
    // The radio list kept its selection: the interface height of room 1.
    EXPECT_EQ(Radio("RadioResults")->ItemIndex(), 2);
    EXPECT_EQ(ChartText("ChartTitle"), QString("График зависимости координаты задымленной зоны от времени"));
    const QList<QPointF> points = Series("Series1")->points();
    ASSERT_EQ(points.size(), 20);
    EXPECT_DOUBLE_EQ(points[7].y(), Value(0, 2, 7));
    EXPECT_FALSE(Series("Series2")->isVisible());
    EXPECT_FALSE(Series("Series4")->isVisible());
}

// Sample m is shown at the middle of its interval, (m·S)·dt + S·dt/2, with m·S an integer.
struct SampleTime {
    int S;
    double dt;
    int sampleCount;
    int m;
    const char* text;  // as the table shows it
};
void PrintTo(const SampleTime& c, std::ostream* os) { *os << "S=" << c.S << " dt=" << c.dt << " m=" << c.m; }
class SampleTimes : public ResultsWindow, public ::testing::WithParamInterface<SampleTime> {};

TEST_P(SampleTimes, ChartAndTableShowTheMiddleOfEachInterval) {
    const SampleTime c = GetParam();
    Fill(zm, 1, c.sampleCount, c.S, c.dt);
    w.PrepareResults(zm);
    const double x = static_cast<double>(static_cast<std::int64_t>(c.m) * c.S) * c.dt + c.S * c.dt / 2;
    EXPECT_DOUBLE_EQ(Series("Series1")->at(c.m).x(), x);
    ShowTable("PageResults");
    EXPECT_EQ(Cell(c.m + 1, 0), QString(c.text));
}

INSTANTIATE_TEST_SUITE_P(Times, SampleTimes,
                         ::testing::Values(SampleTime{1000, 0.0001, 2000, 0, "0,05"},
                                           SampleTime{1000, 0.0001, 2000, 1, "0,15"},
                                           SampleTime{1000, 0.0001, 2000, 1999, "199,95"},
                                           SampleTime{1, 0.1, 10, 3, "0,35"},
                                           SampleTime{3, 0.03, 50, 2, "0,225"},
                                           // m·S beyond 32 bits
                                           SampleTime{2000000, 0.0001, 2000, 1999, "399900"}));

TEST_F(ResultsWindow, TableHasAHeaderRowAndOneRowPerSample) {
    Fill(zm, 1, 2000, 1000, 0.0001);  // 200 s at 10 samples per second
    w.PrepareResults(zm);
    Radio("RadioResults")->Item(4)->click();
    ShowTable("PageResults");
    EXPECT_EQ(Find<QTableView>("GridResult")->parentWidget(), Find<QWidget>("TabResultTable"));
    EXPECT_EQ(GridRows(), 2001);
    EXPECT_EQ(Cell(0, 0), QString("Время (t), с."));
    EXPECT_EQ(Cell(0, 1), QString("T2, °K."));
    EXPECT_EQ(Cell(1, 0), QString("0,05"));
    EXPECT_EQ(Cell(1, 1), QString::number(Value(0, 4, 0)));
    EXPECT_EQ(Cell(2000, 1), QString::number(Value(0, 4, 1999)));
    EXPECT_EQ(Find<QTableView>("GridResult")->rowHeight(5), 18);
    EXPECT_GE(Find<QTableView>("GridResult")->columnWidth(1), 104);
}

TEST_F(ResultsWindow, ColumnsAreWideEnoughForEveryNumber) {
    Fill(zm, 1, 2000, 1000, 0.0001);
    for (zf::ResultSample& s : zm.Room(0).Samples) s.Fp = 0;
    zm.Room(0).Samples.back().Fp = -1.0 / 3000;  // only the last row is long
    w.PrepareResults(zm);
    ShowTable("PageResults");
    const QTableView* grid = Find<QTableView>("GridResult");
    EXPECT_GE(grid->columnWidth(1), grid->fontMetrics().horizontalAdvance(Cell(2000, 1)));
    EXPECT_GE(grid->columnWidth(0), grid->fontMetrics().horizontalAdvance(Cell(0, 0)));
}

// A cell shows at most 4 significant digits, in the general format with the decimal comma
// (scientific below 0.0001 and from 16 integer digits on); its tip and a copy hold the value whole.
struct Formatted {
    double value;
    const char* text;
};
void PrintTo(const Formatted& c, std::ostream* os) { *os << c.text; }
class NumberFormat : public ResultsWindow, public ::testing::WithParamInterface<Formatted> {};

TEST_P(NumberFormat, TableCells) {
    Fill(zm, 1, 1, 1, 1);
    zm.Room(0).Samples[0].Fp = GetParam().value;
    w.PrepareResults(zm);
    ShowTable("PageResults");
    EXPECT_EQ(Cell(1, 1), QString(GetParam().text));
    const QModelIndex cell = Find<QTableView>("GridResult")->model()->index(0, 1);
    EXPECT_EQ(NumberFromText(cell.data(Qt::ToolTipRole).toString().remove(QRegularExpression("^-"))), std::fabs(GetParam().value));
}

INSTANTIATE_TEST_SUITE_P(General, NumberFormat,
                         ::testing::Values(Formatted{0, "0"}, Formatted{100, "100"}, Formatted{1.5, "1,5"},
                                           Formatted{0.1 + 0.2, "0,3"}, Formatted{1.0 / 3, "0,3333"},
                                           Formatted{0.0001, "0,0001"}, Formatted{-0.000123, "-0,000123"},
                                           Formatted{0.00011590958206587, "0,0001159"},
                                           Formatted{0.00001, "1E-5"}, Formatted{2.5e-6, "2,5E-6"},
                                           Formatted{2.08887244430757e-7, "2,089E-7"}, Formatted{1e20, "1E20"},
                                           Formatted{9999.5, "10000"}, Formatted{167.209, "167,2"},
                                           Formatted{1234567890123456, "1,235E15"}, Formatted{293.16, "293,2"}));

// Each hazard factor reads its own value, limit and critical time: three different orders.
struct Hazard {
    zf::HazardKind kind;
    int element;  // position in zf::ResultSample
    double limit;
    const char* label;
};
void PrintTo(const Hazard& c, std::ostream* os) { *os << "kind " << c.kind; }
class HazardCharts : public ResultsWindow, public ::testing::WithParamInterface<Hazard> {};

TEST_P(HazardCharts, MarkTheLimitAndTheCriticalTime) {
    const Hazard h = GetParam();
    Fill(zm, 1, 30, 10, 0.01);
    w.PrepareResults(zm);
    ShowHazards();
    Radio("RadioOFP")->Item(h.kind)->click();

    EXPECT_EQ(Find<QChartView>("ChartResult")->parentWidget(), Find<QWidget>("TabOFPChart"));
    EXPECT_DOUBLE_EQ(Series("Series1")->at(5).y(), Value(0, h.element, 5));
    const double t = zm.Room(0).CritTimeOf(h.kind);
    const QList<QPointF> limit = Series("Series2")->points();
    ASSERT_EQ(limit.size(), 3);
    EXPECT_EQ(limit[0], QPointF(0, h.limit));
    EXPECT_EQ(limit[1], QPointF(t, h.limit));
    EXPECT_EQ(limit[2], QPointF(t, 0));
    ASSERT_EQ(Series("Series4")->count(), 1);
    EXPECT_EQ(Series("Series4")->at(0), QPointF(t, h.limit));
    EXPECT_TRUE(Series("Series2")->isVisible());
    EXPECT_TRUE(Series("Series4")->isVisible());
    EXPECT_EQ(ChartText("Series4Label"), QString::number(t).replace('.', ','));

    // The value axis shows the limit and the time axis.
    auto* axis = qobject_cast<QValueAxis*>(Series("Series1")->attachedAxes().at(1));
    EXPECT_LE(axis->min(), 0);
    EXPECT_GE(axis->max(), h.limit);

    // Only the critical-time point is in the legend.
    w.show();
    QApplication::processEvents();
    for (QLegendMarker* marker : Find<QChartView>("ChartResult")->chart()->legend()->markers())
        EXPECT_EQ(marker->isVisible(), marker->series()->objectName() == "Series4");

    ShowTable("PageOFP");
    EXPECT_EQ(Cell(0, 1), QString(h.label));
    EXPECT_EQ(Cell(6, 1), QString::number(Value(0, h.element, 5)));
}

INSTANTIATE_TEST_SUITE_P(Kinds, HazardCharts,
                         ::testing::Values(Hazard{zf::hkTemperature, 7, 343.0, "T, °K."},
                                           Hazard{zf::hkOxygen, 9, 0.226, "кг/м3, м."},
                                           Hazard{zf::hkVisibility, 8, 20.0, "L, м."},
                                           Hazard{zf::hkCO, 11, 0.00116, "кг/м3, м."},
                                           Hazard{zf::hkCO2, 12, 0.11, "кг/м3, м."},
                                           Hazard{zf::hkHCl, 13, 2.3e-05, "кг/м3, м."},
                                           Hazard{zf::hkRadiation, 10, 1400.0, "Вт*м-2"}));

// A limit never reached (critical time 0) is no hazard from the first second: no point, the
// limit line across the whole time axis, and the label says it was not reached.
TEST_F(ResultsWindow, UnreachedLimitIsALineAcrossTheTimeAxisWithoutAPoint) {
    Fill(zm, 1, 10, 10, 0.01);
    zm.Room(0).CritTimeCO = 0;
    w.show();
    w.PrepareResults(zm);
    ShowHazards();
    Radio("RadioOFP")->Item(zf::hkCO)->click();
    QApplication::processEvents();
    EXPECT_EQ(Series("Series4")->count(), 0);
    const QList<QPointF> limit = Series("Series2")->points();
    ASSERT_EQ(limit.size(), 2);
    auto* time = qobject_cast<QValueAxis*>(Find<QChartView>("ChartResult")->chart()->axes(Qt::Horizontal)[0]);
    ASSERT_NE(time, nullptr);
    EXPECT_EQ(limit[0], QPointF(time->min(), zm.CritCO));
    EXPECT_EQ(limit[1], QPointF(time->max(), zm.CritCO));
    EXPECT_EQ(ChartText("Series4Label"), QString("Критическое значение не достигнуто"));
    QChart* chart = Find<QChartView>("ChartResult")->chart();
    EXPECT_FALSE(chart->legend()->isVisible());  // it would explain a point that is not there
    QGraphicsItem* label = nullptr;
    for (QGraphicsItem* item : chart->scene()->items())
        if (item->toGraphicsObject() != nullptr && item->toGraphicsObject()->objectName() == "Series4Label") label = item;
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    EXPECT_TRUE(chart->plotArea().adjusted(-1, -1, 1, 1).contains(label->mapRectToItem(chart, label->boundingRect())));

    // A reached limit in the same room is drawn as before: point, label, drop line.
    Radio("RadioOFP")->Item(zf::hkCO2)->click();
    EXPECT_EQ(Series("Series4")->count(), 1);
    EXPECT_EQ(Series("Series2")->count(), 3);
    EXPECT_EQ(ChartText("Series4Label"), QString("14,25"));
    EXPECT_TRUE(chart->legend()->isVisible());
    w.hide();
}

TEST_F(ResultsWindow, CriticalTimeLabelStaysInsideThePlot) {
    Fill(zm, 1, 100, 10, 0.01);  // 10 s
    zm.Room(0).CritTimeT = 9.9;   // next to the right edge
    w.show();
    w.PrepareResults(zm);
    ShowHazards();
    QApplication::processEvents();
    QChart* chart = Find<QChartView>("ChartResult")->chart();
    QGraphicsItem* label = nullptr;
    for (QGraphicsItem* item : chart->scene()->items())
        if (item->toGraphicsObject() != nullptr && item->toGraphicsObject()->objectName() == "Series4Label") label = item;
    ASSERT_NE(label, nullptr);
    EXPECT_TRUE(label->isVisible());
    const QRectF box = label->mapRectToItem(chart, label->boundingRect());
    EXPECT_TRUE(chart->plotArea().adjusted(-1, -1, 1, 1).contains(box)) << box.x() << " " << box.y();
    w.hide();
}

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
    EXPECT_EQ(Cell(0, 1), QString("T, °K."));

    ShowParameters();
    ShowTable("PageResults");
    EXPECT_EQ(Find<QTableView>("GridResult")->parentWidget(), Find<QWidget>("TabResultTable"));
    EXPECT_EQ(Cell(0, 1), QString("Fп, м2."));
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
