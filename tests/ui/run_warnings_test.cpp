// Where a run's own numbers show the reference model to be wrong (a room that is not the fire
// room ends with a hotter upper layer), the results window and the critical-times summary say
// so in Russian above their figures and point to the check box that avoids it; otherwise the
// warning is not there.
#include <QLabel>
#include <QToolButton>
#include <gtest/gtest.h>

#include "results_driver.h"
#include "u_CritTimes.h"

namespace {

// The upper-layer temperature of the last sample of every room.
void SetFinalLayerTemperatures(zf::TzoneMath& zm, const std::vector<double>& T2) {
    for (std::size_t r = 0; r < T2.size(); ++r) zm.Room(static_cast<int>(r)).Samples.back().T2 = T2[r];
}

struct WarningCase {
    std::vector<double> FinalT2;  // [K] per room, the fire room first
    const char* Rooms;            // the rooms the warning names; empty: no warning
};

class RunWarnings : public ResultsWindow, public ::testing::WithParamInterface<WarningCase> {
protected:
    void SetUp() override {
        Fill(zm, static_cast<int>(GetParam().FinalT2.size()), 10, 10, 0.01);
        SetFinalLayerTemperatures(zm, GetParam().FinalT2);
        w.show();
        w.PrepareResults(zm);
    }
    void TearDown() override { w.hide(); }

    static void ExpectWarning(const QLabel* label, const WarningCase& c) {
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->isVisible(), *c.Rooms != 0) << label->text().toStdString();
        if (*c.Rooms == 0) return;
        const QString text = label->text();
        EXPECT_TRUE(text.startsWith(QStringLiteral("Внимание: "))) << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.Rooms))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("«Согласованный уход газов через проемы»"))) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("«Модели расчета...»"))) << text.toStdString();
    }
};

TEST_P(RunWarnings, ResultsWindowSaysItAboveTheFigures) { ExpectWarning(Find<QLabel>("LabelModelWarnings"), GetParam()); }

TEST_P(RunWarnings, SummarySaysItAboveTheTable) {
    Find<QToolButton>("btnCritTimes")->click();
    auto* summary = w.findChild<TF_CritTimes*>();
    ASSERT_NE(summary, nullptr);
    ExpectWarning(summary->findChild<QLabel*>("LabelModelWarnings"), GetParam());
    summary->close();
}

INSTANTIATE_TEST_SUITE_P(Table, RunWarnings,
                         ::testing::Values(WarningCase{{500, 400}, ""}, WarningCase{{500, 501}, "помещении №2"},
                                           WarningCase{{400, 450, 390, 420}, "помещениях №2, №4"},
                                           WarningCase{{500}, ""}));

}  // namespace
