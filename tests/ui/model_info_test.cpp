// "О модели": the validation's figures read from its summary, written for people, built into the
// program as the validation tool wrote them, and reached from the results window.
#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QFile>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>

#include "model_accuracy.h"
#include "model_info_dialog.h"
#include "option_accuracy.h"
#include "results_driver.h"

namespace {

const QByteArray kSummary = R"({"quantities": [
  {"key": "upper_temp_rise", "name": "Upper-layer temperature rise",
   "tanaka": {"n": 41, "bias": 1.347, "scatter": 0.215},
   "mccaffrey": {"n": 41, "bias": 0.873, "scatter": null}},
  {"key": "layer_depth", "name": "Smoke layer depth",
   "tanaka": {"n": 41, "bias": 1.2, "scatter": 0.1}},
  {"key": "wind_speed", "name": "not a quantity of the model",
   "tanaka": {"n": 3, "bias": 2.0, "scatter": 0.5}},
  {"key": "co", "name": "CO", "tanaka": {"n": 0, "bias": null, "scatter": null}}
]})";

TEST(ModelAccuracy, ReadsKnownQuantitiesInTheOrderOfTheirWeightForBlockingTimes) {
    const auto figures = ParseModelAccuracy(kSummary);
    // The layer depth comes first whatever the file's order; an unknown key and a quantity
    // with nothing compared are left out.
    ASSERT_EQ(figures.size(), 2u);
    EXPECT_EQ(figures[0].Key, "layer_depth");
    EXPECT_EQ(figures[1].Key, "upper_temp_rise");
    ASSERT_TRUE(figures[1].Tanaka);
    EXPECT_EQ(figures[1].Tanaka->N, 41);
    EXPECT_DOUBLE_EQ(figures[1].Tanaka->Bias, 1.347);
    ASSERT_TRUE(figures[1].McCaffrey);
    EXPECT_FALSE(figures[1].McCaffrey->Scatter);
    EXPECT_FALSE(figures[0].McCaffrey);
}

TEST(ModelAccuracy, TextThatIsNotASummaryGivesNoFigures) {
    EXPECT_TRUE(ParseModelAccuracy("").empty());
    EXPECT_TRUE(ParseModelAccuracy("[1, 2]").empty());
    EXPECT_TRUE(ParseModelAccuracy(R"({"quantities": 5})").empty());
    EXPECT_TRUE(ModelLimitsText({}).contains("не встроены"));
}

TEST(ModelAccuracy, TextQuotesBothPlumesInTheWindowsNumberFormat) {
    const QString text = ModelLimitsText(ParseModelAccuracy(kSummary));
    // Two decimals with the windows' decimal separator (the tests run in the C locale's "."
    // or a Russian ","): accept either, but the rounding must be to two decimals.
    EXPECT_TRUE(text.contains(QRegularExpression("Превышение температуры слоя дыма над начальной: "
                                                 "Танака — смещение 1[.,]35, разброс 0[.,]22 \\(N\\x{00A0}=\\x{00A0}41\\); "
                                                 "МакКефри — смещение 0[.,]87 \\(N\\x{00A0}=\\x{00A0}41\\)\\.")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("МакКефри — нет данных")) << text.toStdString();
    // Always two decimals, so the figures line up: 1.2 is "1,20", 0.1 is "0,10".
    EXPECT_TRUE(text.contains(QRegularExpression("Толщина слоя дыма [^:]*: Танака — смещение 1[.,]20, разброс 0[.,]10 ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains("validation/REPORT.md"));
}

// A scatter of 0 is no fault: the single tests differ no more than the measurements do.
TEST(ModelAccuracy, ScatterInWordsAndFiguresAsATable) {
    EXPECT_EQ(ScatterText(0.0), "в пределах погрешности опытов");
    EXPECT_EQ(ScatterText(0.004), "в пределах погрешности опытов");
    EXPECT_TRUE(ScatterText(0.141).contains(QRegularExpression("^0[.,]14$")));
    EXPECT_EQ(ScatterText(std::nullopt), "—");
    const auto table = ModelAccuracyTable(ParseModelAccuracy(kSummary));
    ASSERT_EQ(table.size(), 3u);  // header, layer depth, temperature
    ASSERT_EQ(table[0].size(), 6u);
    EXPECT_EQ(table[1][1], "41");
    EXPECT_EQ(table[1][4], "—");  // no McCaffrey figures for the layer depth
    EXPECT_TRUE(table[2][4].contains(QRegularExpression("^0[.,]87$")));
    EXPECT_EQ(table[2][5], "—");  // McCaffrey's scatter is absent
    EXPECT_TRUE(ModelAccuracyTable({}).empty());
}

// Below 1 the model computes less than was measured, so the limit comes later: not on the safe
// side. Each plume is judged by its own bias, and factors without figures are left out.
TEST(ModelAccuracy, DirectionOfTheErrorFollowsEachPlumesBias) {
    const auto figures = ParseModelAccuracy(kSummary);
    const QString tanaka = ErrorDirectionText({zf::hkTemperature, zf::hkVisibility}, true, figures);
    EXPECT_TRUE(tanaka.contains("зависимость Танака")) << tanaka.toStdString();
    EXPECT_TRUE(tanaka.contains(QRegularExpression("завышает превышение температуры слоя дыма над начальной \\(смещение 1[.,]35, "
                                                   "N\\x{00A0}=\\x{00A0}41\\): время блокирования по повышенной температуре "
                                                   "получается раньше измеренного, то есть в запас")))
        << tanaka.toStdString();
    EXPECT_FALSE(tanaka.contains("видимост")) << "no smoke figures in the summary";
    EXPECT_TRUE(tanaka.contains(QRegularExpression("Толщину слоя дыма модель завышает \\(смещение 1[.,]20")));
    const QString mccaffrey = ErrorDirectionText({zf::hkTemperature}, false, figures);
    EXPECT_TRUE(mccaffrey.contains("занижает превышение температуры")) << mccaffrey.toStdString();
    EXPECT_TRUE(mccaffrey.contains("позже измеренного, то есть не в запас"));
    EXPECT_FALSE(mccaffrey.contains("Толщину слоя")) << "no McCaffrey figures for the layer depth";
    EXPECT_TRUE(ErrorDirectionText({zf::hkHCl, zf::hkRadiation}, true, figures).isEmpty());

    // The built-in figures: smoke, oxygen and CO2 under-predicted with both plumes.
    for (const bool plume : {true, false}) {
        const QString builtIn = ErrorDirectionText({zf::hkVisibility, zf::hkOxygen, zf::hkCO2}, plume);
        EXPECT_EQ(builtIn.count("позже измеренного, то есть не в запас"), 3) << builtIn.toStdString();
    }
}

TEST(ModelAccuracy, BuiltInFiguresAreThoseTheValidationToolWrote) {
    QFile written(QStringLiteral(ZONEFIRE_MODEL_ACCURACY));
    ASSERT_TRUE(written.open(QIODevice::ReadOnly)) << ZONEFIRE_MODEL_ACCURACY;
    const auto expected = ParseModelAccuracy(written.readAll());
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ModelLimitsText(), ModelLimitsText(expected));
    // The two quantities that decide the working-zone temperature are quoted for both plumes.
    for (const char* key : {"layer_depth", "upper_temp_rise"}) {
        const auto q = std::find_if(ModelAccuracy().begin(), ModelAccuracy().end(),
                                    [&](const QuantityAccuracy& a) { return a.Key == key; });
        ASSERT_NE(q, ModelAccuracy().end()) << key;
        EXPECT_TRUE(q->Tanaka && q->McCaffrey) << key;
    }
}

class ModelInfoFromResults : public ResultsWindow {};

TEST_F(ModelInfoFromResults, ChartMenuOpensTheDialogWithTheBuiltInText) {
    Fill(zm, 1, 20, 10, 0.01);
    w.PrepareResults(zm);
    auto* chart = Find<QChartView>("ChartResult");
    QAction* info = nullptr;
    for (QAction* a : chart->actions())
        if (a->objectName() == QLatin1String("ActModelInfo")) info = a;
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->text(), "О модели...");
    EXPECT_EQ(info->shortcut(), QKeySequence(QKeySequence::HelpContents));
    // The chart's own actions keep their place at the top of its menu.
    EXPECT_EQ(chart->actions().front()->objectName(), "ActSaveChart");

    QString shown;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<TModelInfoDialog*>(top); d != nullptr && d->isVisible()) {
                shown = d->Text();
                d->accept();
            }
    });
    info->trigger();
    // The figures of the model the run used first, then the reference model's for every
    // quantity. The dialog's plain text gives the non-breaking spaces back as plain ones.
    const auto plain = [](QString t) { return t.replace(QChar(0x00A0), QLatin1Char(' ')); };
    const QString used = plain(UsedModelAccuracyText(zm.Options, zm.UseTanaka));
    ASSERT_FALSE(used.isEmpty());
    EXPECT_TRUE(shown.startsWith(used)) << shown.toStdString();
    EXPECT_TRUE(shown.endsWith(plain(ModelLimitsText()))) << shown.toStdString();
}

// A heat-loss run's dialog quotes the heat-loss model's figures and where they are too cold.
TEST_F(ModelInfoFromResults, AHeatLossRunsDialogQuotesTheHeatLossModel) {
    Fill(zm, 1, 20, 10, 0.01);
    zm.Options.HeatLoss.Enabled = true;
    zm.UseTanaka = false;
    w.PrepareResults(zm);
    QAction* info = nullptr;
    for (QAction* a : Find<QChartView>("ChartResult")->actions())
        if (a->objectName() == QLatin1String("ActModelInfo")) info = a;
    ASSERT_NE(info, nullptr);
    QString shown;
    QTimer::singleShot(0, [&] {
        for (QWidget* top : QApplication::topLevelWidgets())
            if (auto* d = qobject_cast<TModelInfoDialog*>(top); d != nullptr && d->isVisible()) {
                shown = d->Text();
                d->accept();
            }
    });
    info->trigger();
    EXPECT_TRUE(shown.startsWith(QStringLiteral("Модель этого расчета: теплопотери, зависимость для факела МакКефри"))) << shown.toStdString();
    EXPECT_TRUE(shown.contains(QStringLiteral("«очаг у стены или в углу» — на 11 % (с зависимостью Танака — на 25 %)")))
        << shown.toStdString();
}

}  // namespace
