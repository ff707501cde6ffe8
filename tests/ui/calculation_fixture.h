#pragma once
// What calculation_test.cpp and calculation_buttons_test.cpp share: their includes, helpers and fixture.
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
