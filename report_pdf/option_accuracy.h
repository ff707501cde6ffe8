#pragma once
// How far each model of the program is from fire experiments, as the validation of the model
// options last measured it (validation/results/options/model_accuracy.json, built into the
// program; written by validation/model_options.py with the statistics of validation/REPORT.md):
// the upper-layer temperature rise and the layer depth, bias and scatter per group of tests,
// for the reference model, consistent outflow, heat loss and both. "О модели" and the report
// quote the figures of the model the run used.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

#include "model_accuracy.h"
#include "model/run_options.h"

// One group of tests: its figures with the Tanaka plume ([0]) and the McCaffrey plume ([1]).
struct GroupAccuracy {
    QString Key;   // all, steckler, steckler_centre, steckler_wall, nbs, nbs_fire, nbs_downstream, nist
    QString Name;  // in Russian
    std::optional<PlumeAccuracy> Temperature[2];  // upper-layer temperature rise
    std::optional<PlumeAccuracy> Depth[2];        // layer depth
};

// One model: "reference", "consistent_outflow", "heat_loss" or "both".
struct OptionAccuracy {
    QString Key;
    QString Name;  // in Russian
    std::vector<GroupAccuracy> Groups;
};

// Reads the validation's figures from JSON text; an empty list when the text is not one.
std::vector<OptionAccuracy> ParseOptionAccuracy(const QByteArray& json);

// The figures built into the program.
const std::vector<OptionAccuracy>& OptionAccuracyFigures();

// The model a run with these options uses: "reference", "consistent_outflow", "heat_loss" or
// "both" (the options that change the physics; the fire area's limit is an input).
QString ModelOptionKey(const zf::RunOptions& options);

// The figures of that model with the run's plume, as a table for people: a header row, then one
// row per group of tests (name, N, temperature bias and scatter, depth bias and scatter). Empty
// without figures for the model.
std::vector<std::vector<QString>> UsedModelAccuracyTable(const zf::RunOptions& options, bool tanaka,
                                                         const std::vector<OptionAccuracy>& figures = OptionAccuracyFigures());

// The paragraphs around that table: which model and plume the run used and where the figures
// come from, then where the model is not on the safe side: the groups of single tests (wall and
// corner fires, fire rooms, ...) whose temperature bias is below 1, by how many per cent the
// layer comes out too cold with either plume, so the temperature blocking time comes later than
// measured. Empty without figures for the model.
QStringList UsedModelAccuracyNotes(const zf::RunOptions& options, bool tanaka,
                                   const std::vector<OptionAccuracy>& figures = OptionAccuracyFigures());

// Both as plain text ("О модели"): the notes with the table's rows as lines between them.
QString UsedModelAccuracyText(const zf::RunOptions& options, bool tanaka,
                              const std::vector<OptionAccuracy>& figures = OptionAccuracyFigures());
