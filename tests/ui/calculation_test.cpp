// The whole program through its windows: a building entered in the editor, "Расчет", the
// progress window, the results window or the failure message, and the editor starting over.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QChartView>
#include <QComboBox>
#include <QMessageBox>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QXYSeries>

#include "editor_driver.h"
#include "results_driver.h"
#include "radio_group.h"
#include "u_ShowResult.h"
#include "u_progress.h"

namespace {

class CalculationTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        progress_ = std::make_unique<Tf_progress>();  // no parent: it must stay clickable during a run
        results_ = new TF_ShowResult(main_.get());
        main_->SetRunWindows(progress_.get(), results_);
    }
    void TearDown() override {
        EditorTest::TearDown();
        main_.reset();
        progress_.reset();
    }

    void SetField(const char* name, const QString& text) { Find<QLineEdit>(name)->setText(text); }
    void PressCalculate() { QTest::mouseClick(Find<QPushButton>("TBXButton1"), Qt::LeftButton); }

    // Fire room 5 × 4 × 3 m and a second room 6 × 5 × 3 m joined by an open doorway 2 × 0,9 m.
    void EnterTwoRooms() {
        AddRoom("5", "4", "3");
        AddRoom("6", "5", "3");
        Click(Grid("GridMatrix"), 1, 2);
        AddOpening("2", "0,9");
        ASSERT_EQ(main_->Scenario().Cell(1, 0).size(), 1u);
    }

    // After a run the editor holds the building it had: the run worked on a copy.
    void ExpectEditorKept(int rooms) {
        EXPECT_EQ(main_->Scenario().RoomCount(), rooms);
        ExpectGridsShowScenario();
        EXPECT_TRUE(main_->isEnabled());
        EXPECT_FALSE(progress_->isVisible());
    }

    template <class T> T* InResults(const char* name) {
        T* w = results_->findChild<T*>(QString::fromLatin1(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    QXYSeries* Series(const char* name) { return FindSeries(InResults<QChartView>("ChartResult"), name); }
    QStringList RadioItems(const char* name) {
        QStringList items;
        TRadioGroup* radio = InResults<TRadioGroup>(name);
        for (int i = 0; i < radio->ItemCount(); ++i) items << radio->ItemText(i);
        return items;
    }

    std::unique_ptr<Tf_progress> progress_;
    TF_ShowResult* results_ = nullptr;
};

TEST_F(CalculationTest, TwoRoomsFromTheEditorToTheResultsAndBack) {
    SetField("Edit11", "0,01");
    SetField("Edit12", "100");
    EnterTwoRooms();
    bool shown = false;
    WhenModal("TF_ShowResult", [&](QWidget* window) {
        shown = true;
        zf::TzoneMath& zm = *main_->LastRun();
        EXPECT_EQ(zm.dt, 0.01);
        EXPECT_EQ(zm.SimTime, 100);
        EXPECT_EQ(zm.Qn, 13800000);
        EXPECT_EQ(zm.PsiUd, 0.0145);
        EXPECT_EQ(zm.hr, 1.7);
        EXPECT_TRUE(zm.UseTanaka);
        EXPECT_EQ(zm.SampleCount, 1000);

        // The table of the first parameter: a header row and one row per sample.
        auto* pages = InResults<QTabWidget>("PageResults");
        pages->setCurrentWidget(InResults<QWidget>("TabResultTable"));
        const QAbstractItemModel* table = InResults<QTableView>("GridResult")->model();
        EXPECT_EQ(table->rowCount() + 1, 1001);
        EXPECT_EQ(table->index(0, 0).data().toString(), "0,05");

        // The temperature chart of room 1 marks its limit and critical time.
        InResults<QTabWidget>("PageAllResults")->setCurrentWidget(InResults<QWidget>("TabOFP"));
        const double t = zm.Room(0).CritTimeT;
        ASSERT_GT(t, 0);
        const QList<QPointF> limit = Series("Series2")->points();
        ASSERT_EQ(limit.size(), 3);
        EXPECT_EQ(limit[0], QPointF(0, 343));
        EXPECT_EQ(limit[1], QPointF(t, 343));
        EXPECT_EQ(limit[2], QPointF(t, 0));
        ASSERT_EQ(Series("Series4")->points().size(), 1);
        EXPECT_EQ(Series("Series4")->points()[0], QPointF(t, 343));
        EXPECT_EQ(Series("Series1")->points().size(), 1000);

        // Room 1 is the fire room: the plume and the radiation items are listed.
        EXPECT_EQ(RadioItems("RadioResults")[1], "Производительность конвективной колонки");
        EXPECT_EQ(RadioItems("RadioOFP").size(), 7);
        auto* rooms = InResults<QComboBox>("ComboOFPRooms");
        ASSERT_EQ(rooms->count(), 2);
        EXPECT_EQ(rooms->itemText(1), "Помещение №2");
        rooms->setCurrentIndex(1);
        EXPECT_EQ(RadioItems("RadioResults")[1], "Поступление газа через проемы");
        EXPECT_EQ(RadioItems("RadioOFP").size(), 6);
        const double t2 = zm.Room(1).CritTimeT;
        EXPECT_GT(t2, t);  // the smoke reaches the second room's working zone later
        EXPECT_EQ(Series("Series4")->points()[0], QPointF(t2, 343));
        rooms->setCurrentIndex(0);
        ASSERT_EQ(RadioItems("RadioOFP").size(), 7);
        EXPECT_EQ(RadioItems("RadioOFP")[6], "По критической величине теплового излучения");
        window->close();
    });
    PressCalculate();
    EXPECT_TRUE(shown);
    bool isNumber = false;
    Find<QLabel>("TimeCalc")->text().toLongLong(&isNumber);
    EXPECT_TRUE(isNumber);
    ExpectEditorKept(2);
    EXPECT_EQ(Find<QLineEdit>("Edit11")->text(), "0,01");  // the fields keep their texts
    EXPECT_EQ(Find<QLineEdit>("Edit12")->text(), "100");
}

// "Fmax, м²": the fire load's largest area reaches the run, and the burning area stops growing there.
TEST_F(CalculationTest, FireAreaFieldCapsTheBurningArea) {
    auto* field = Find<QLineEdit>("EditFireAreaMax");
    EXPECT_EQ(field->text(), "0");
    EXPECT_EQ(Find<QLabel>("LabelFireAreaMax")->text(), "Fmax, м²");
    EXPECT_FALSE(field->toolTip().isEmpty());
    // Set where nothing else stands: no designed control is covered or moved.
    for (QWidget* other : Find<QWidget>("centralwidget")->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == field || other->objectName() == "LabelFireAreaMax" || !other->isVisibleTo(main_.get())) continue;
        EXPECT_FALSE(other->geometry().intersects(field->geometry())) << other->objectName().toStdString();
        EXPECT_FALSE(other->geometry().intersects(Find<QLabel>("LabelFireAreaMax")->geometry()))
            << other->objectName().toStdString();
    }
    SetField("Edit11", "0,01");
    SetField("Edit12", "100");
    SetField("EditFireAreaMax", "0,5");
    EnterTwoRooms();
    bool shown = false;
    WhenModal("TF_ShowResult", [&](QWidget* window) {
        shown = true;
        zf::TzoneMath& zm = *main_->LastRun();
        EXPECT_EQ(zm.Options.FireAreaMax, 0.5);
        // Without the limit the default spread covers 0,5 m² at about 37 s and goes on growing.
        double largest = 0;
        for (const auto& sample : zm.Room(0).Samples) largest = std::max(largest, sample[0]);
        EXPECT_EQ(largest, 0.5);
        window->close();
    });
    PressCalculate();
    EXPECT_TRUE(shown);
    EXPECT_EQ(field->text(), "0,5");  // kept for the next building, as the other fields
}

// Every step is a refresh (SecondPerReading): "Закрыть" clicked in the refresh after step 25
// stops the run at step 26, 0,26 s, with the samples of 0, 0,1 and 0,2 s.
TEST_F(CalculationTest, ClosingTheProgressWindowStopsTheRunAndShowsWhatItReached) {
    main_->SetRunClock(&SecondPerReading);
    SetField("Edit11", "0,01");
    SetField("Edit12", "1000");  // far longer than the test lets it run
    AddRoom("5", "4", "3");
    AtFirstRefresh(progress_.get(), [this] {
        ASSERT_TRUE(progress_->isVisible());
        EXPECT_FALSE(main_->isEnabled());
        EXPECT_EQ(ShownStep(progress_.get()), 1);
        AtRefreshAfter(progress_.get(), 24, [this] {
            EXPECT_EQ(ShownStep(progress_.get()), 25);
            QTest::mouseClick(progress_->findChild<QPushButton*>("TBXButton1"), Qt::LeftButton);
        });
    });
    int samples = -1;
    WhenModal(
        "TF_ShowResult",
        [&](QWidget* window) {
            zf::TzoneMath& zm = *main_->LastRun();
            EXPECT_TRUE(zm.Stopped);
            EXPECT_EQ(zm.Iter, 26);
            samples = zm.SampleCount;
            EXPECT_EQ(InResults<QComboBox>("ComboResultRooms")->count(), 1);
            EXPECT_EQ(Series("Series1")->points().size(), samples);
            window->close();
        },
        3000);
    PressCalculate();
    EXPECT_EQ(samples, 3);
    ExpectEditorKept(1);
}

TEST_F(CalculationTest, FailedRunNamesItsStepAndKeepsTheEditor) {
    QString text, details;
    WhenModal("QMessageBox", [&](QWidget* box) {
        text = static_cast<QMessageBox*>(box)->text();
        details = static_cast<QMessageBox*>(box)->detailedText();
        static_cast<QMessageBox*>(box)->accept();
    });
    PressCalculate();  // no rooms: the fire room is missing in step 1
    EXPECT_EQ(text, "Ошибка при выполнении расчета!\r\n(на итерации №1)");
    EXPECT_FALSE(details.isEmpty());
    ExpectEditorKept(0);
}

// A field that holds no number stops "Расчет" before anything runs: the message names the
// field, the field gets the focus, and the editor keeps the building and every text.
TEST_F(CalculationTest, AFieldWithNoNumberIsNamedFocusedAndNothingRuns) {
    struct Case {
        const char* field;
        const char* text;
        const char* says;
    };
    const Case cases[] = {{"Edit11", "1,2,3", "Поле «Шаг, c:»: «1,2,3» — не число"},
                          {"Edit9", "2..93", "«2..93» — не число"},
                          {"Edit2", "", "значение не задано"},
                          {"Edithr", "-1,7", "отрицательное значение «-1,7» не имеет смысла"},
                          {"EditFireAreaMax", "abc", "Поле «Fmax, м²»: «abc» — не число"}};
    AddRoom("5", "4", "3");
    for (const Case& c : cases) {
        const QString before = Find<QLineEdit>(c.field)->text();
        SetField(c.field, QString::fromUtf8(c.text));
        QString text;
        WhenModal("QMessageBox", [&](QWidget* box) {
            text = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        });
        PressCalculate();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.says))) << c.field << ": " << text.toStdString();
        EXPECT_EQ(main_->focusWidget(), Find<QLineEdit>(c.field)) << c.field;
        EXPECT_EQ(main_->LastRun(), nullptr) << c.field;  // nothing ran
        EXPECT_EQ(Find<QLineEdit>(c.field)->text(), QString::fromUtf8(c.text));
        ExpectEditorKept(1);
        SetField(c.field, before);
    }
}

// The flame-spread speed typed with a space before it is read, not taken for 0.
TEST_F(CalculationTest, ASpaceBeforeTheFlameSpreadIsNotAZero) {
    SetField("Edit11", "0,01");
    SetField("Edit12", "10");
    SetField("Edit2", " 0,0108");
    AddRoom("5", "4", "3");
    double vlin = -1;
    WhenModal("TF_ShowResult", [&](QWidget* window) {
        vlin = main_->LastRun()->Vlin;
        window->close();
    });
    PressCalculate();
    EXPECT_EQ(vlin, 0.0108);
}

TEST_F(CalculationTest, RefusedInputsKeepTheBuilding) {
    struct Case {
        const char* field;
        const char* text;
        const char* mentions;
    };
    const Case cases[] = {{"Edit11", "0", "Шаг, c:"}, {"Edit9", "0", "T0, К"}, {"Edithr", "3", "Помещение №1"}};
    AddRoom("5", "4", "3");
    for (const Case& c : cases) {
        const QString before = Find<QLineEdit>(c.field)->text();
        SetField(c.field, c.text);
        QString text;
        WhenModal("QMessageBox", [&](QWidget* box) {
            text = static_cast<QMessageBox*>(box)->text();
            static_cast<QMessageBox*>(box)->accept();
        });
        PressCalculate();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.mentions))) << c.field << ": " << text.toStdString();
        EXPECT_EQ(main_->Scenario().RoomCount(), 1) << c.field;
        EXPECT_TRUE(main_->isEnabled());
        EXPECT_FALSE(progress_->isVisible());
        SetField(c.field, before);
    }
}

// Every button of the main window, and a click on every grid cell, in every state the editor
// passes through: empty, with rooms, with header and empty cells current, after a failed run and
// after a stopped one. Any window that opens is closed at once, as a user dismissing it would.
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
