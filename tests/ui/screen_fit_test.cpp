// Every window on a laptop's screen of 1366×768: no table column cut, no label or button
// narrower than its text, nothing past the window's edge, no window larger than the screen;
// the windows with tables and charts resizable and opening again at the size they were left at.
#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QScreen>
#include <QSettings>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "critical_values_dialog.h"
#include "fire_load_dialog.h"
#include "fit_check.h"
#include "guide_window.h"
#include "model_info_dialog.h"
#include "model_options_dialog.h"
#include "project/scenario_file.h"
#include "results_driver.h"
#include "u_AddDoor.h"
#include "u_AddRoom.h"
#include "u_Building.h"
#include "u_CritTimes.h"
#include "u_Evacuation.h"
#include "u_main.h"
#include "u_progress.h"

namespace {

std::string Faults(QWidget* window) {
    QApplication::processEvents();
    return fitcheck::Faults(window).join('\n').toStdString();
}

TEST(LaptopScreen, IsTheOneTheTestsAskedFor) {
    ASSERT_NE(QApplication::primaryScreen(), nullptr);
    EXPECT_EQ(QApplication::primaryScreen()->size(), QSize(1366, 768));
}

// The summary of rooms with names of every length, with evacuation inputs: every column is
// seen without scrolling sideways, the verdict column last; a name too long is elided and
// its whole text is the cell's tip.
struct SummaryCase {
    int Rooms;
    const char* Name;  // each room's name after its number; empty: none
};

class SummaryOnLaptop : public ResultsWindow, public ::testing::WithParamInterface<SummaryCase> {
protected:
    void TearDown() override { w.hide(); }
};

TEST_P(SummaryOnLaptop, EveryColumnIsSeenWhole) {
    const SummaryCase c = GetParam();
    Fill(zm, c.Rooms, 10, 10, 0.01);
    ScenarioDescription description;
    for (int r = 0; r < c.Rooms; ++r) {
        description.RoomNames << QString::fromUtf8(c.Name);
        description.Evacuation.Rooms.push_back(zfreport::EvacuationInput{5, 5});
    }
    w.SetDescription(description);
    w.show();
    w.PrepareResults(zm);
    Find<QToolButton>("btnCritTimes")->click();
    auto* summary = w.findChild<TF_CritTimes*>();
    ASSERT_NE(summary, nullptr);
    QApplication::processEvents();
    EXPECT_EQ(Faults(summary), std::string());
    auto* grid = summary->findChild<QTableWidget*>("GridCritTimes");
    const int last = grid->columnCount() - 1;
    EXPECT_EQ(grid->horizontalHeaderItem(last)->text(), QString("Вывод"));
    EXPECT_LE(grid->horizontalHeader()->sectionViewportPosition(last) + grid->columnWidth(last), grid->viewport()->width());
    for (int r = 0; r < c.Rooms; ++r) EXPECT_EQ(grid->item(r, 0)->toolTip(), grid->item(r, 0)->text()) << r;
}

INSTANTIATE_TEST_SUITE_P(
    Names, SummaryOnLaptop,
    ::testing::Values(SummaryCase{1, ""}, SummaryCase{4, "Коридор"}, SummaryCase{12, ""},
                      SummaryCase{12, "Лестничная клетка второго этажа с тамбуром-шлюзом и лифтовым холлом"}));

// The results window of a real run, each of its four views, at its first size and filling
// the screen.
class ResultsOnLaptop : public ::testing::TestWithParam<bool> {};

TEST_P(ResultsOnLaptop, EveryViewFits) {
    QFile file(QStringLiteral(ZONEFIRE_EXAMPLES "/office_floor.json"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    zf::TzoneMath zm;
    ASSERT_FALSE(zf::project::ReadScenario(file.readAll().toStdString(), zm));
    zm.SimTime = 30;  // a short run is enough to fill every view
    ASSERT_TRUE(zm.Run());
    TF_ShowResult results;
    results.PrepareResults(zm);
    results.show();
    if (GetParam()) results.resize(results.screen()->availableSize());
    auto* pages = results.findChild<QTabWidget*>("PageAllResults");
    for (int page = 0; page < 2; ++page) {
        pages->setCurrentIndex(page);
        auto* inner = results.findChild<QTabWidget*>(page == 0 ? "PageResults" : "PageOFP");
        for (int view = 0; view < 2; ++view) {
            inner->setCurrentIndex(view);
            EXPECT_EQ(Faults(&results), std::string()) << "page " << page << " view " << view;
        }
    }
    results.hide();
}

INSTANTIATE_TEST_SUITE_P(FirstAndFull, ResultsOnLaptop, ::testing::Bool());

// The other windows as they first open.
using Maker = std::function<std::unique_ptr<QWidget>()>;
struct WindowCase {
    const char* Name;
    Maker Make;
};

class WindowOnLaptop : public ::testing::TestWithParam<WindowCase> {};

TEST_P(WindowOnLaptop, FitsAsItOpens) {
    std::unique_ptr<QWidget> window = GetParam().Make();
    window->show();
    EXPECT_EQ(Faults(window.get()), std::string());
    window->hide();
}

template <class W> Maker Make() { return [] { return std::unique_ptr<QWidget>(new W); }; }

INSTANTIATE_TEST_SUITE_P(
    Windows, WindowOnLaptop,
    ::testing::Values(WindowCase{"AddRoom", Make<Tf_AddRoom>()}, WindowCase{"AddDoor", Make<Tf_AddDoor>()},
                      WindowCase{"Evacuation", Make<TF_Evacuation>()}, WindowCase{"FireLoad", Make<TFireLoadDialog>()},
                      WindowCase{"CriticalValues", Make<TF_CriticalValues>()},
                      WindowCase{"ModelOptions", Make<TF_ModelOptions>()}, WindowCase{"Building", Make<TF_Building>()},
                      WindowCase{"Guide", Make<TGuideWindow>()}, WindowCase{"ModelInfo", Make<TModelInfoDialog>()},
                      WindowCase{"Progress", Make<Tf_progress>()}, WindowCase{"Main", [] {
                                     auto main = std::make_unique<Tf_main>();
                                     main->OpenExample(QStringLiteral(ZONEFIRE_EXAMPLES "/office_floor.json"));
                                     return std::unique_ptr<QWidget>(main.release());
                                 }}),
    [](const ::testing::TestParamInfo<WindowCase>& info) { return std::string(info.param.Name); });

// A window with tables and charts opens at the size it was left at, within the screen; it
// can be maximised.
TEST(WindowSize, TheResultsWindowOpensAtTheSizeItWasLeftAt) {
    QSettings().remove(QStringLiteral("windows"));
    {
        TF_ShowResult first;
        EXPECT_EQ(first.size(), QSize(875, 420));  // the designed size, the first time
        EXPECT_TRUE(first.windowFlags() & Qt::WindowMaximizeButtonHint);
        first.show();
        QApplication::processEvents();
        const int lists = first.findChild<QWidget*>("Panel2")->width();
        first.resize(1100, 640);
        QApplication::processEvents();
        EXPECT_EQ(first.findChild<QWidget*>("Panel2")->width(), lists);  // the chart takes the room
        first.hide();
    }
    TF_ShowResult again;
    EXPECT_EQ(again.size(), QSize(1100, 640));
    QSettings().setValue(QStringLiteral("windows/results/size"), QSize(4000, 3000));
    TF_ShowResult tooLarge;
    EXPECT_LE(tooLarge.width(), 1366);
    EXPECT_LE(tooLarge.height(), 768);
    QSettings().remove(QStringLiteral("windows"));
}

TEST(WindowSize, TheSummaryKeepsALargerSizeItWasGiven) {
    QSettings().remove(QStringLiteral("windows"));
    zf::TzoneMath zm;
    Fill(zm, 2, 10, 10, 0.01);
    TF_ShowResult results;
    results.show();
    results.PrepareResults(zm);
    results.btnCritTimesClick();
    auto* summary = results.findChild<TF_CritTimes*>();
    ASSERT_NE(summary, nullptr);
    const QSize fitted = summary->size();
    summary->resize(fitted + QSize(100, 80));
    summary->hide();
    results.btnCritTimesClick();
    EXPECT_EQ(summary->size(), fitted + QSize(100, 80));
    results.hide();
    QSettings().remove(QStringLiteral("windows"));
}

}  // namespace
