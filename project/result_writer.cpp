// Writers of a finished run: the critical-times table, the outcome line, JSON and CSV.

#include "result_writer.h"

#include "project/program_info.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <sstream>

#include "model/number_text.h"
#include "printable_text.h"
#include "project/file_text.h"
#include "model_warnings.h"
#include "route_writer.h"
#include "verdict_table.h"

namespace zf::project {

using zfreport::RecordedSampleCount;
using zfreport::SampleTime;

namespace {

const zf::TRoom& RoomAt(const zf::TzoneMath& zm, int i) { return *zm.Rooms[static_cast<std::size_t>(i)]; }

}  // namespace

void WriteJsonString(std::ostream& out, std::string_view s) {
    out << '"';
    for (char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out << '\\' << c;
        } else if (u < 0x20) {
            static const char kHex[] = "0123456789abcdef";
            out << "\\u00" << kHex[u >> 4] << kHex[u & 0xF];
        } else {
            out << c;
        }
    }
    out << '"';
}

// The shortest text that reads back to the same double; JSON has no infinity or NaN.
static void AppendJsonNumber(std::string& out, double v) {
    if (!std::isfinite(v)) {
        out += "null";
        return;
    }
    zf::AppendNumberText(out, v);
}

void WriteJsonNumber(std::ostream& out, double v) {
    std::string text;
    AppendJsonNumber(text, v);
    out << text;
}

namespace {

// A list of numbers, formed whole and written at once: a long run has millions of them.
template <class Value>
void WriteJsonArray(std::ostream& out, int count, Value value) {
    std::string text = "[";
    text.reserve(static_cast<std::size_t>(count) * 24 + 2);
    for (int m = 0; m < count; ++m) {
        if (m > 0) text += ", ";
        AppendJsonNumber(text, value(m));
    }
    text += ']';
    out << text;
}

// The order of the factors in "critical_times" (visibility before oxygen, as the JSON has
// always listed them); each under its short name, as in the table.
constexpr zf::HazardKind kJsonCritTimeOrder[] = {zf::hkTemperature, zf::hkVisibility, zf::hkOxygen, zf::hkCO,
                                                 zf::hkCO2,         zf::hkHCl,        zf::hkRadiation};
static_assert(std::size(kJsonCritTimeOrder) == zf::kHazardCount, "every factor once");

}  // namespace

void WriteJsonOptional(std::ostream& out, const std::optional<double>& v) {
    if (v) WriteJsonNumber(out, *v);
    else out << "null";
}

RunOutcome OutcomeOf(bool runResult, const zf::TzoneMath& zm) {
    if (!runResult) return RunOutcome::Failed;
    return zm.Stopped ? RunOutcome::Stopped : RunOutcome::Completed;
}

std::string CriticalTimesReport(const zf::TzoneMath& zm, const zfreport::EvacuationInputs& evacuation,
                                const std::vector<std::string>& roomNames) {
    // A name comes from the file: printed, it must not steer the terminal or break the table's line.
    std::vector<std::string> printable;
    for (const std::string& name : roomNames) printable.push_back(PrintableText(name));
    const zfreport::VerdictSummary summary = zfreport::SummaryWithVerdict(zm, evacuation, ".", printable);
    return FormatTable(summary.Table.Cells()) + std::string(zfreport::kCriticalTimesLegend) + '\n' +
           zfreport::VerdictLegend(evacuation.SafetyFactor, ".") + '\n' + summary.BuildingLine + '\n' +
           RoutesReport(zfreport::JudgeRun(zm, evacuation), evacuation);
}

std::string FormatTable(const std::vector<std::vector<std::string>>& rows) {
    std::vector<std::size_t> widths;
    for (const auto& row : rows) {
        widths.resize(std::max(widths.size(), row.size()), 0);
        for (std::size_t c = 0; c < row.size(); ++c) widths[c] = std::max(widths[c], zf::project::CharCount(row[c]));
    }
    std::string text;
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c < row.size(); ++c) {
            const std::string padding(widths[c] - zf::project::CharCount(row[c]), ' ');
            if (c > 0) line += "  ";
            line += c == 0 ? row[c] + padding : padding + row[c];
        }
        line.erase(line.find_last_not_of(' ') + 1);
        text += line + '\n';
    }
    return text;
}

int LastStepOf(int stepCount) { return std::max(stepCount - 1, 0); }

bool FailedBeforeFirstStep(RunOutcome outcome, const zf::TzoneMath& zm) {
    return outcome == RunOutcome::Failed && zm.Iter == 0;  // the steps are numbered from 1
}

std::string OutcomeLine(RunOutcome outcome, const zf::TzoneMath& zm) {
    if (FailedBeforeFirstStep(outcome, zm)) return "Расчет не начат: ошибка при подготовке, ни один шаг не выполнен.";
    const std::string of = " из " + std::to_string(LastStepOf(zm.StepCount)) + ".";
    switch (outcome) {
        case RunOutcome::Completed: return "Расчет завершен: шаг " + std::to_string(zm.Iter) + of;
        case RunOutcome::Stopped: return "Расчет остановлен на шаге " + std::to_string(zm.Iter) + of;
        case RunOutcome::Failed: return "Расчет прерван ошибкой на шаге " + std::to_string(zm.Iter) + of;
    }
    return {};
}

std::string FailureMessage(const zf::TzoneMath& zm, std::string_view error) {
    const std::string where = FailedBeforeFirstStep(RunOutcome::Failed, zm)
                                  ? "Ошибка при подготовке расчета, расчет не начат!"
                                  : "Ошибка при выполнении расчета!\n(на итерации №" + std::to_string(zm.Iter) + ")";
    return where + "\n" + std::string(error);
}

namespace {


// The room's blocking time and factors, and its evacuation verdict when it has inputs.
void WriteJsonVerdict(std::ostream& out, const zfreport::RoomVerdict& v) {
    out << ",\n   \"blocking_time\": ";
    WriteJsonOptional(out, v.BlockingTime);
    out << ", \"blocking_factors\": [";
    for (std::size_t f = 0; f < v.BlockingFactors.size(); ++f)
        out << (f > 0 ? ", \"" : "\"") << zfreport::kHazardShortNames[v.BlockingFactors[f]] << '"';
    out << ']';
    if (!v.Outcome) return;
    out << ",\n   \"evacuation\": {\"required\": ";
    WriteJsonOptional(out, v.Required);
    out << ", \"allowed\": ";
    WriteJsonOptional(out, v.Allowed);
    out << ", \"margin\": ";
    // The margin as every table shows it, and only beside a verdict of safe or unsafe.
    WriteJsonOptional(out, v.Margin && v.Outcome != zfreport::Verdict::Undetermined
                               ? std::optional(zfreport::ShownMargin(*v.Margin))
                               : std::nullopt);
    out << ", \"verdict\": \"" << zfreport::VerdictKey(*v.Outcome) << '"';
    if (!v.Reason.empty()) {
        out << ", \"reason\": ";
        WriteJsonString(out, v.Reason);
    }
    out << '}';
}

}  // namespace

namespace {

// The document's head: what made it, how the run ended, the building's verdict and warnings,
// and the counts of steps and samples.
void WriteJsonHead(std::ostream& out, const zf::TzoneMath& zm, RunOutcome outcome, std::string_view error,
                   const zfreport::RunVerdict& verdict, const std::vector<zf::flow::Route>& routes) {
    // The format, then the program and its version: a result file says what made it.
    out << "{\"format\": \"" << zf::project::kResultFormatName << "\", \"version\": "
        << zf::project::kResultFormatVersion << ", \"program\": \"zonefire " << zf::project::ProgramVersion() << '"'
        << ",\n \"completed\": " << (outcome == RunOutcome::Completed ? "true" : "false")
        << ", \"stopped\": " << (outcome == RunOutcome::Stopped ? "true" : "false") << ", \"iter\": " << zm.Iter;
    if (!error.empty()) {
        out << ", \"error\": ";
        WriteJsonString(out, error);
    }
    if (verdict.Building) out << ", \"evacuation_verdict\": \"" << zfreport::VerdictKey(*verdict.Building) << '"';
    if (!verdict.Reason.empty()) {
        out << ", \"evacuation_verdict_reason\": ";
        WriteJsonString(out, verdict.Reason);
    }
    WriteJsonRoutes(out, verdict, routes);
    if (zm.Options.HeatLoss.Enabled) {
        out << ", \"guard_energy_fraction\": ";
        WriteJsonNumber(out, zm.GuardEnergyFraction());
    }
    if (const std::vector<std::string> warnings = zfreport::RunWarnings(zm); !warnings.empty()) {
        out << ",\n \"warnings\": [";
        for (std::size_t w = 0; w < warnings.size(); ++w) {
            out << (w > 0 ? ", " : "");
            WriteJsonString(out, warnings[w]);
        }
        out << ']';
    }
    out << ",\n \"StepCount\": " << zm.StepCount << ", \"StepsPerSample\": " << zm.StepsPerSample
        << ", \"SampleCount\": " << zm.SampleCount;
}

// One room: its number and name, its critical times (null where never reached), its verdict and
// its `samples` recorded samples.
void WriteJsonRoom(std::ostream& out, const zf::TzoneMath& zm, int i, const zfreport::RoomVerdict& verdict,
                   const std::vector<std::string>& roomNames, int samples) {
    const zf::TRoom& room = RoomAt(zm, i);
    out << (i > 0 ? ",\n  " : "\n  ") << "{\"number\": " << i + 1;
    if (const std::string_view name = zfreport::RoomNameOf(roomNames, i); !name.empty()) {
        out << ", \"name\": ";
        WriteJsonString(out, name);
    }
    if (zm.Options.HeatLoss.Enabled) {
        out << ", \"heat_lost_J\": ";
        WriteJsonNumber(out, room.Enclosure.HeatLost);
    }
    out << ",\n   \"critical_times\": {";
    bool first = true;
    for (const zf::HazardKind kind : kJsonCritTimeOrder) {
        out << (first ? "" : ", ") << '"' << zfreport::kHazardShortNames[kind] << "\": ";
        // 0 in the room means "not reached"; in the file 0 would read "reached at once".
        const double t = room.CritTimeOf(kind);
        WriteJsonOptional(out, t == 0 ? std::nullopt : std::optional(t));
        first = false;
    }
    out << '}';
    WriteJsonVerdict(out, verdict);
    out << ",\n   \"samples\": {";
    for (int e = 0; e < zf::ResultSample::kCount; ++e) {
        out << (e > 0 ? ",\n    " : "\n    ") << '"' << zf::ResultSample::Name(e) << "\": ";
        WriteJsonArray(out, samples, [&](int m) { return room.Samples[static_cast<std::size_t>(m)][e]; });
    }
    out << "}}";
}

}  // namespace

void WriteJson(std::ostream& out, const zf::TzoneMath& zm, RunOutcome outcome, std::string_view error,
               const zfreport::EvacuationInputs& evacuation, const std::vector<std::string>& roomNames) {
    const int samples = RecordedSampleCount(zm);
    const zfreport::RunVerdict verdict = zfreport::JudgeRun(zm, evacuation);
    WriteJsonHead(out, zm, outcome, error, verdict, evacuation.Routes);
    out << ",\n \"sample_times\": ";
    WriteJsonArray(out, samples, [&](int m) { return SampleTime(zm, m); });
    out << ",\n \"rooms\": [";
    for (int i = 0; i < zm.RoomCount(); ++i)
        WriteJsonRoom(out, zm, i, verdict.Rooms[static_cast<std::size_t>(i)], roomNames, samples);
    out << (zm.RoomCount() > 0 ? "\n ]}\n" : "]}\n");
}

namespace {

constexpr std::string_view kStatusFile = "status";

std::string CsvFileName(int room) { return "room_" + std::to_string(room + 1) + ".csv"; }

}  // namespace

bool IsCsvFolderFile(std::string_view name) {
    if (name == kStatusFile) return true;
    constexpr std::string_view prefix = "room_", suffix = ".csv";
    if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) || !name.ends_with(suffix))
        return false;
    const std::string_view number = name.substr(prefix.size(), name.size() - prefix.size() - suffix.size());
    return number[0] != '0' && std::all_of(number.begin(), number.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string WarningLines(const zf::TzoneMath& zm) {
    std::string lines;
    for (const std::string& warning : zfreport::RunWarnings(zm)) lines += "Внимание: " + warning + "\n";
    return lines;
}

std::string StatusText(RunOutcome outcome, const zf::TzoneMath& zm, std::string_view error) {
    std::string text = outcome == RunOutcome::Completed ? "completed" : outcome == RunOutcome::Stopped ? "stopped" : "failed";
    text += "\n" + OutcomeLine(outcome, zm) + "\n";
    if (!error.empty()) text += std::string(error) + "\n";
    return text;
}

void WriteCsvFiles(AtomicFolder& folder, const zf::TzoneMath& zm, RunOutcome outcome, std::string_view error) {
    for (int i = 0; i < zm.RoomCount(); ++i)
        folder.WriteFile(CsvFileName(i), [&](std::ostream& out) { zfreport::WriteRoomCsv(out, zm, i); });
    folder.WriteFile(std::string(kStatusFile), [&](std::ostream& out) { out << StatusText(outcome, zm, error); });
}

}  // namespace zf::project
