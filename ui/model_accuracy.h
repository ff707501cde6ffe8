#pragma once
// How far the model is from fire experiments, as the validation last measured it: bias and
// scatter of each compared quantity for both plume correlations. The figures are those the
// validation tool wrote (validation/results/model_accuracy.json, built into the program), so
// the windows and the printed report quote what validation/REPORT.md shows.

#include <QString>
#include <optional>
#include <vector>

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

// The text on the model's limits for people: what bias and scatter mean, one line per
// quantity with both plumes, what the model leaves out, and where the full report is.
// Numbers in the windows' format. Paragraphs are separated by an empty line.
QString ModelLimitsText(const std::vector<QuantityAccuracy>& figures = ModelAccuracy());
