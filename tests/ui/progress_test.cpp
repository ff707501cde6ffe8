// The progress window and the run's view of the windows, driven the way a calculation drives
// them: show, refresh at intervals, stop once the user has closed the window.
#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

#include "u_progress.h"
#include "model/scenario.h"
#include "../model/test_buildings.h"

namespace {

QString Text(const Tf_progress& p, const char* name) { return p.findChild<QLabel*>(name)->text(); }
QProgressBar* Bar(const Tf_progress& p) { return p.findChild<QProgressBar*>("ProgressBar"); }

// The calculation's side of the protocol: a refresh every `every` steps checks whether the
// window is still visible, writes the values and lets the event loop run. Returns the step
// at which it stopped (total when it ran through).
int FakeRun(zf::RunView& view, int total, int every, const std::function<void(int)>& atRefresh = {}) {
    view.ShowProgress();
    view.SetMainEnabled(false);
    view.SetProgressMax(total);
    int k = 1;
    for (; k < total; ++k) {
        if (k % every != 0) continue;
        if (!view.ProgressVisible()) break;
        view.WriteProgress(k, k / 10, total);
        if (atRefresh) atRefresh(k);
        view.ProcessEvents();
    }
    view.CloseProgress();
    view.SetMainEnabled(true);
    return k;
}

TEST(ProgressWindow, StartsAsANonModalDialogOnTop) {
    Tf_progress p;
    EXPECT_EQ(p.windowTitle(), QString("Вычисление..."));
    EXPECT_EQ(p.size(), QSize(343, 140));
    EXPECT_FALSE(p.isModal());
    EXPECT_TRUE(p.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(Text(p, "TextIter"), QString());
    EXPECT_EQ(Bar(p)->maximum(), 100);
    EXPECT_EQ(Bar(p)->value(), 50);
    EXPECT_EQ(p.findChild<QPushButton*>("TBXButton1")->text(), QString("Закрыть"));
    EXPECT_FALSE(p.isVisible());
}

TEST(ProgressWindow, RefreshWritesPlainDecimalIntegers) {
    Tf_progress p;
    TProgressRunView view(p, nullptr);
    view.SetProgressMax(2000000);
    view.WriteProgress(1234567, 123, 2000000);
    // The Russian locale would group digits with spaces; the window must not.
    EXPECT_EQ(Text(p, "TextIter"), QString("1234567"));
    EXPECT_EQ(Text(p, "TextTime"), QString("123"));
    EXPECT_EQ(Text(p, "TextIterAll"), QString("2000000"));
    EXPECT_EQ(Bar(p)->maximum(), 2000000);
    EXPECT_EQ(Bar(p)->value(), 1234567);
}

TEST(ProgressWindow, NewTotalKeepsThePreviousRunsValues) {
    Tf_progress p;
    TProgressRunView view(p, nullptr);
    view.SetProgressMax(5000);
    view.WriteProgress(4000, 40, 5000);
    view.SetProgressMax(8000);  // a second run, before its first refresh
    EXPECT_EQ(Bar(p)->maximum(), 8000);
    EXPECT_EQ(Bar(p)->value(), 4000);
    EXPECT_EQ(Text(p, "TextIter"), QString("4000"));
    EXPECT_EQ(Text(p, "TextIterAll"), QString("5000"));
}

TEST(ProgressWindow, ClosingHidesItAndWritingDoesNotShowIt) {
    Tf_progress p;
    TProgressRunView view(p, nullptr);
    view.ShowProgress();
    ASSERT_TRUE(view.ProgressVisible());
    QTest::mouseClick(p.findChild<QPushButton*>("TBXButton1"), Qt::LeftButton);
    EXPECT_FALSE(view.ProgressVisible());
    view.WriteProgress(10, 1, 100);
    view.ProcessEvents();
    EXPECT_FALSE(view.ProgressVisible());
    EXPECT_EQ(Text(p, "TextIter"), QString("10"));

    view.ShowProgress();  // reused by the next run
    EXPECT_TRUE(view.ProgressVisible());
    p.close();  // the close box
    EXPECT_FALSE(view.ProgressVisible());
}

TEST(ProgressWindow, ShowsCentredOnTheMainWindow) {
    QWidget main;
    main.setGeometry(100, 120, 800, 600);
    main.show();
    Tf_progress p;
    TProgressRunView view(p, &main);
    view.ShowProgress();
    const QPoint offset = p.frameGeometry().center() - main.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2);
    view.CloseProgress();
}

// The user's stop: "Закрыть" clicked while a refresh lets the event loop run. The run notices
// the hidden window at its next refresh. Meanwhile the main window is disabled but the
// progress window takes the click.
TEST(ProgressRun, ClosingDuringARefreshStopsAtTheNext) {
    QWidget main;
    main.show();
    Tf_progress p;
    TProgressRunView view(p, &main);
    bool mainDisabled = false;
    bool progressEnabled = false;
    QTimer::singleShot(0, &p, [&p] { QTest::mouseClick(p.findChild<QPushButton*>("TBXButton1"), Qt::LeftButton); });
    const int stoppedAt = FakeRun(view, 100000, 100, [&](int) {
        mainDisabled = !main.isEnabled();
        progressEnabled = p.isEnabled();
    });
    EXPECT_EQ(stoppedAt, 200);
    EXPECT_TRUE(mainDisabled);
    EXPECT_TRUE(progressEnabled);
    EXPECT_EQ(Text(p, "TextIter"), QString("100"));
    EXPECT_FALSE(p.isVisible());
    EXPECT_TRUE(main.isEnabled());
}

// The calculation itself, on a clock that moves 300 ms per reading so that every step ends
// with a refresh: the window closed during the first refresh stops the run at the second.
std::int64_t gFakeMs = 0;
std::int64_t FakeTick() { return gFakeMs += 300; }

TEST(ProgressRun, CalculationStopsWhenTheWindowIsClosed) {
    zf::TzoneMath zm;
    testing_zf::SetDefaultInputs(zm);
    zm.SimTime = 10;
    zm.dt = 0.01;
    zm.AddRoom(5, 4, 3);
    QWidget main;
    main.show();
    Tf_progress p;
    TProgressRunView view(p, &main);
    view.TickMs = &FakeTick;
    QTimer::singleShot(0, &p, &Tf_progress::TBXButton1Click);
    EXPECT_TRUE(zm.Run(view));
    EXPECT_TRUE(zm.Stopped);
    EXPECT_EQ(Text(p, "TextIter"), QString("1"));
    EXPECT_EQ(Text(p, "TextTime"), QString("0"));
    EXPECT_EQ(Text(p, "TextIterAll"), QString("1000"));
    EXPECT_EQ(Bar(p)->maximum(), 1000);
    EXPECT_FALSE(p.isVisible());
    EXPECT_TRUE(main.isEnabled());
}

}  // namespace
