#pragma once
// How far the model is from fire experiments, as the validation last measured it: bias and
// scatter of each compared quantity for both plume correlations. The figures are those the
// validation tool wrote (validation/results/model_accuracy.json, built into the program), so
// the windows and the printed report quote what validation/REPORT.md shows.

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "model/sample.h"

// One quantity with one plume correlation: N points compared; bias = mean ratio of the
// predicted to the measured rise above ambient (1 = none); scatter = relative spread of the
// single tests around it. Scatter is absent when N < 2.
struct PlumeAccuracy {
    int N = 0;
    double Bias = 0;
    std::optional<double> Scatter;
};

struct QuantityAccuracy {
    QString Key;   // layer_depth, upper_temp_rise, o2_drop, co2_rise, co, smoke_extinction
    QString Name;  // in Russian
    std::optional<PlumeAccuracy> Tanaka, McCaffrey;
};

// Reads the validation's summary from JSON text; an empty list when the text is not one.
// Quantities of unknown key are skipped (they have no Russian name).
std::vector<QuantityAccuracy> ParseModelAccuracy(const QByteArray& json);

// The summary built into the program.
const std::vector<QuantityAccuracy>& ModelAccuracy();

// A bias or scatter with two decimals and the windows' decimal separator: "1,25", "0,50".
QString AccuracyFigure(double v);

// The scatter in words: two decimals; "в пределах погрешности опытов" when it is 0 (the single
// tests lie no farther from the bias than the measurements' own uncertainty, so the model's
// spread cannot be told apart from it); "—" when there is none (N < 2).
QString ScatterText(const std::optional<double>& scatter);

// The figures as a table for people: a header row, then per quantity its name, N, and bias and
// scatter for each plume. Empty without figures.
std::vector<std::vector<QString>> ModelAccuracyTable(const std::vector<QuantityAccuracy>& figures = ModelAccuracy());

// Which way the model errs for the given hazard factors with the given plume, from the
// measured bias of the quantity behind each factor: a bias below 1 for smoke, oxygen drop, CO2
// or CO means those blocking times come later than measured (not on the safe side); above 1
// for the temperature, earlier (on the safe side). One sentence per factor; empty when there
// are no figures for any of them.
QString ErrorDirectionText(const std::vector<zf::HazardKind>& factors, bool tanaka,
                           const std::vector<QuantityAccuracy>& figures = ModelAccuracy());

// What bias, scatter and N mean (one paragraph).
QString ModelAccuracyIntro();
// The paragraphs after the figures: what a scatter within the experiments' uncertainty means,
// which way a bias moves the blocking times, why the layer runs hot, and the direction of the
// error for each compared factor with both plumes.
QStringList ModelAccuracyNotes(const std::vector<QuantityAccuracy>& figures = ModelAccuracy());

// The text on the model's limits for people: what bias and scatter mean, one line per
// quantity with both plumes, what the model leaves out, and where the full report is.
// Numbers in the windows' format. Paragraphs are separated by an empty line.
QString ModelLimitsText(const std::vector<QuantityAccuracy>& figures = ModelAccuracy());
