// A calculation from the editor, continued: every button in every state, closing the main
// window during a run, Enter on the calculate button.
#include "calculation_fixture.h"

namespace {

TEST_F(CalculationTest, EveryButtonInEveryStateLeavesTheEditorSound) {
    QTimer closer;
    int closedWindows = 0;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            modal->close();
            ++closedWindows;
        }
    });
    closer.start(2);
    auto pressEverything = [&] {
        for (const char* name : {"GridRoom", "GridMatrix", "GridProem"}) {
            QTableWidget* grid = Grid(name);
            if (grid->isHidden()) continue;
            for (int r = 0; r < grid->rowCount(); ++r)
                for (int c = 0; c < grid->columnCount(); ++c)
                    if (grid->item(r, c) != nullptr) Click(grid, r, c);
        }
        for (const char* button : {"btnAddRoom", "btnDelRoom", "btnAddDoor", "TBXButton2"}) Press(button);
        ExpectGridsShowScenario();
        const int rooms = main_->Scenario().RoomCount();
        QTest::mouseClick(Find<QPushButton>("TBXButton1"), Qt::LeftButton);  // "Расчет"
        ExpectEditorKept(rooms);
    };
    SetField("Edit11", "0,01");
    SetField("Edit12", "2");
    pressEverything();  // empty building: the run fails in step 1

    zf::TzoneMath& zm = main_->Scenario();
    zm.AddRoom(5, 4, 3);
    zm.AddRoom(6, 5, 3);
    zm.AddProem(0, 1, 2, 0.9, true);
    zm.AddProem(1, 0, 2, 0.9, true);
    zm.AddProem(1, 1, 1.5, 1, false);
    main_->FillGridRoom();
    main_->FillGridMatrix();
    pressEverything();  // a building that completes: the results window opens and is closed

    SetField("Edit11", "0,3");  // longer than a sample: fails in step 1
    main_->Scenario().AddRoom(4, 5, 3);
    main_->FillGridRoom();
    main_->FillGridMatrix();
    pressEverything();
    closer.stop();
    EXPECT_GE(closedWindows, 3);
}

// Closing the main window during a run asks first. Yes stops the run at its next refresh and
// closes the window without any results: the program ends.
TEST_F(CalculationTest, ClosingTheMainWindowDuringARunAsksAndYesEndsTheProgram) {
    main_->SetRunClock(&SecondPerReading);
    SetField("Edit11", "0,01");
    SetField("Edit12", "1000");  // far longer than the test lets it run
    AddRoom("5", "4", "3");
    QSignalSpy closed(main_.get(), &Tf_main::Closed);
    QString question;
    AtFirstRefresh(progress_.get(), [&] {
        ASSERT_TRUE(main_->Running());
        WhenModal("QMessageBox", [&](QWidget* box) {
            question = static_cast<QMessageBox*>(box)->text();
            EXPECT_EQ(static_cast<QMessageBox*>(box)->defaultButton(), static_cast<QMessageBox*>(box)->button(QMessageBox::No));
            static_cast<QMessageBox*>(box)->button(QMessageBox::Yes)->click();
        });
        main_->close();  // as the window manager's close box does, disabled window or not
        EXPECT_TRUE(closed.isEmpty());  // not before the run has returned
    });
    bool resultsShown = false;
    WhenModal("TF_ShowResult", [&](QWidget* window) {
        resultsShown = true;
        window->close();
    }, 3000);
    PressCalculate();
    EXPECT_EQ(question, "Прервать расчет и выйти из программы?");
    EXPECT_TRUE(main_->LastRun()->Stopped);
    EXPECT_EQ(main_->LastRun()->Iter, 2);  // at the refresh after the answer
    EXPECT_FALSE(resultsShown);
    EXPECT_FALSE(main_->isVisible());
    EXPECT_FALSE(progress_->isVisible());
    EXPECT_EQ(closed.count(), 1);  // the program's cue to end
}

// No changes nothing: the run goes on (here until the progress window stops it) and its
// results are shown, their caption saying where the run was stopped.
TEST_F(CalculationTest, ClosingTheMainWindowDuringARunAndAnsweringNoChangesNothing) {
    main_->SetRunClock(&SecondPerReading);
    SetField("Edit11", "0,01");
    SetField("Edit12", "1000");
    AddRoom("5", "4", "3");
    QSignalSpy closed(main_.get(), &Tf_main::Closed);
    int asked = 0;
    AtFirstRefresh(progress_.get(), [&] {
        WhenModal("QMessageBox", [&](QWidget* box) {
            ++asked;
            static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
        });
        main_->close();
        // The run goes on: the next refresh comes, and "Закрыть" there stops it at the one after.
        AtRefreshAfter(progress_.get(), ShownStep(progress_.get()), [&] {
            EXPECT_TRUE(main_->Running());
            QTest::mouseClick(progress_->findChild<QPushButton*>("TBXButton1"), Qt::LeftButton);
        });
    });
    QString caption, summaryCaption;
    int stoppedAt = -1;
    WhenModal("TF_ShowResult", [&](QWidget* window) {
        stoppedAt = main_->LastRun()->Iter;
        caption = window->windowTitle();
        results_->btnCritTimesClick();
        if (auto* summary = results_->findChild<QDialog*>("TF_CritTimes")) summaryCaption = summary->windowTitle();
        window->close();
    }, 3000);
    PressCalculate();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(stoppedAt, 3);  // asked at step 1, "Закрыть" at step 2
    EXPECT_TRUE(main_->isVisible());
    EXPECT_TRUE(closed.isEmpty());
    // The time reached, in the window's number format.
    const QRegularExpression stopped("^Результаты расчета — Расчет остановлен на \\d+(,\\d{1,2})? с$");
    EXPECT_TRUE(stopped.match(caption).hasMatch()) << caption.toStdString();
    EXPECT_TRUE(summaryCaption.startsWith("Критические времена — Расчет остановлен на ")) << summaryCaption.toStdString();
    ExpectEditorKept(1);

    // Closed when no run is under way, the window goes once the unsaved building is let go.
    WhenModal("QMessageBox", [](QWidget* box) { static_cast<QMessageBox*>(box)->button(QMessageBox::Discard)->click(); });
    main_->close();
    EXPECT_FALSE(main_->isVisible());
    EXPECT_EQ(closed.count(), 1);
    EXPECT_EQ(asked, 1);
}

// Enter on the focused "Расчет" button starts the calculation; a completed run's caption has
// no note.
TEST_F(CalculationTest, EnterOnTheCalculateButtonStartsTheRun) {
    SetField("Edit11", "0,01");
    SetField("Edit12", "5");
    AddRoom("5", "4", "3");
    QString caption;
    WhenModal("TF_ShowResult", [&](QWidget* window) {
        caption = window->windowTitle();
        window->close();
    });
    auto* calculate = Find<QPushButton>("TBXButton1");
    calculate->setFocus();
    QTest::keyClick(calculate, Qt::Key_Return);
    EXPECT_EQ(caption, "Результаты расчета");
    ExpectEditorKept(1);
}

}  // namespace
