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
    EXPECT_EQ(Cell(0, 1), QString("T2, К"));
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
                         ::testing::Values(Hazard{zf::hkTemperature, 7, 343.0, "T, К"},
                                           Hazard{zf::hkOxygen, 9, 0.226, "ρ(O₂), кг/м³"},
                                           Hazard{zf::hkVisibility, 8, 20.0, "L, м"},
                                           Hazard{zf::hkCO, 11, 0.00116, "ρ(CO), кг/м³"},
                                           Hazard{zf::hkCO2, 12, 0.11, "ρ(CO₂), кг/м³"},
                                           Hazard{zf::hkHCl, 13, 2.3e-05, "ρ(HCl), кг/м³"},
                                           Hazard{zf::hkRadiation, 10, 1400.0, "q, Вт/м²"}));

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


}  // namespace
