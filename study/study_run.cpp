// The study command of the headless runner: a study's runs into an output folder.

#include "study_run.h"

#include <unistd.h>

#include <iostream>

#include "input_text.h"
#include "count_text.h"
#include "printable_text.h"
#include "result_writer.h"
#include "study_folder.h"
#include "study_options.h"
#include "study_pool.h"
#include "unit_warnings.h"
#include "project/scenario_file.h"
#include "verdict.h"

namespace zfcli::study {
namespace {

// ---- Blocking time and verdict of a room ----------------------------------------------------

RoomRow RoomRowOf(const zfreport::RoomVerdict& verdict, const zf::TRoom& room) {
    RoomRow r;
    r.Times = zfreport::CriticalTimesOf(room);
    r.Blocking = verdict.BlockingTime;
    for (zf::HazardKind k : verdict.BlockingFactors)
        r.Factors += (r.Factors.empty() ? "" : "+") + std::string(zfreport::kHazardShortNames[static_cast<std::size_t>(k)]);
    if (verdict.Outcome) r.Verdict = zfreport::VerdictKey(*verdict.Outcome);
    r.VerdictReason = verdict.Reason;
    return r;
}

// t_р and P_э of each route and its verdict; none when the routes were not computed.
std::vector<RouteRow> RouteRowsOf(const Study& study, const zfreport::RunVerdict& verdict) {
    std::vector<RouteRow> rows(static_cast<std::size_t>(study.RouteCount));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        rows[k].Verdict = zfreport::VerdictKey(zfreport::Verdict::Undetermined);
        if (k >= verdict.Routes.size()) continue;  // the routes were refused: no time, no verdict
        const zfreport::RouteVerdict& route = verdict.Routes[k];
        rows[k].Time = route.Time;
        rows[k].Probability = route.Probability;
        if (route.Outcome) rows[k].Verdict = zfreport::VerdictKey(*route.Outcome);
    }
    return rows;
}

int EmitScenario(const Study& study, std::uint64_t run) {
    if (run > study.Runs)
        return Refuse("", "нет расчета с номером " + std::to_string(run) + " (в исследовании расчеты 1…" + std::to_string(study.Runs) + ")");
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    std::string text;
    try {
        text = ScenarioText(study, DrawsOfRun(study, sampler, run));
    } catch (const std::invalid_argument& e) {
        return Refuse("", "сценарий расчета №" + std::to_string(run) + " нельзя записать: " + e.what());
    }
    return WriteStdout(text, "не удалось вывести сценарий расчета");
}

// What --check tells: the study as read and how it would run here.
int CheckStudy(const StudyOptions& o, const Study& study) {
    return WriteStdout(zf::project::PrintableText(o.StudyFile) + ": исследование прочитано, ошибок нет: " +
                           zfreport::CountText(static_cast<long long>(study.Runs), zfreport::kRunsWord) + ", " +
                           zfreport::CountText(static_cast<long long>(study.Inputs.size()), zfreport::kVaryingInputsWord) + ", " +
                           zfreport::CountText(static_cast<long long>(study.RoomCount), zfreport::kRoomsWord) + "; одновременных расчетов по умолчанию здесь: " +
                           std::to_string(DefaultJobs()) + "\n",
                       "не удалось вывести итог проверки");
}

int OutputFailed(const std::string& message) {
    std::cerr << zf::project::PrintableText(message, zf::project::kPrintedMessageChars, true) << '\n';
    return kExitOutputFailed;
}

// Makes the folder this study's: refuses one in use or holding what the study did not write,
// then writes study.json and an empty runs.csv where none are. `done` gets the runs of the
// share already computed.
int PrepareFolder(const StudyOptions& o, const Study& study, const Folder& folder, FolderLock& lock,
                  std::vector<bool>& done, std::uint64_t& doneCount) {
    std::error_code ec;
    std::filesystem::create_directories(folder.Dir, ec);
    if (!std::filesystem::is_directory(folder.Dir, ec)) return Refuse(o.OutDir, "не удалось создать каталог результатов");
    if (auto busy = lock.Take(folder)) return Refuse("", *busy);
    const FolderContents contents = InspectFolder(folder, study);
    if (contents.Foreign) return Refuse("", *contents.Foreign);
    if (contents.HasResults && !o.Resume)
        return Refuse(o.OutDir, "в каталоге уже есть результаты этого исследования; продолжить его: --resume, или задайте другой каталог");
    const auto [first, last] = RunsOfShard(study.Runs, o.Part);
    if (auto bad = DoneRuns(folder, study, first, last, done, doneCount)) return Refuse(o.OutDir, "нельзя продолжить: " + *bad);
    // From here the folder can be resumed; an old summary would no longer be current.
    std::optional<std::string> failed;
    if (!contents.HasResults) failed = WriteFileWhole(folder.File(kStudyJson), FolderStudyText(study));
    if (!failed) failed = RemoveSummaries(folder);
    if (!failed && !std::filesystem::exists(folder.File(kRunsCsv), ec)) failed = WriteRunsCsv(folder, study, {});
    return failed ? OutputFailed(*failed) : kExitDone;
}

int RunStudy(const StudyOptions& o) {
    std::string text;
    try {
        text = zf::project::ReadInputText(o.StudyFile, zf::project::kMaxInputBytes, "файл исследования");
    } catch (const zf::project::InputError& e) {
        return Refuse(o.StudyFile, e.what());
    }
    Study study;
    if (auto bad = ReadStudy(text, std::filesystem::path(o.StudyFile).parent_path(), study)) return Refuse(o.StudyFile, *bad);
    if (o.EmitRun) return EmitScenario(study, *o.EmitRun);
    // The base building's warnings; a run's drawn values are the study's own choice.
    zf::TzoneMath base;
    zf::project::Apply(study.Base, base);
    if (zf::project::RefusedForWarnings(base, o.StudyFile, o.Strict)) return kExitBadInput;
    if (o.Check) return CheckStudy(o, study);
    if (o.Part.Count > study.Runs) return Refuse("", "долей (" + std::to_string(o.Part.Count) + ") больше, чем расчетов (" + std::to_string(study.Runs) + ")");

    const Folder folder{o.OutDir};
    FolderLock lock;
    std::vector<bool> done;
    std::uint64_t doneCount = 0;
    if (const int refused = PrepareFolder(o, study, folder, lock, done, doneCount)) return refused;

    const auto [first, last] = RunsOfShard(study.Runs, o.Part);
    const std::uint64_t planned = last + 1 - first;
    const unsigned jobs = static_cast<unsigned>(std::max<std::uint64_t>(1, std::min<std::uint64_t>(o.Jobs ? o.Jobs : DefaultJobs(), planned - doneCount)));
    const PoolOutcome pool = RunPool(study, folder, first, last, done, doneCount, jobs, !o.Quiet && isatty(STDERR_FILENO));
    if (pool.WriteFailure) return OutputFailed(*pool.WriteFailure);
    if (auto failed = WriteSummaries(folder, study, o.Part)) return OutputFailed(*failed);
    if (pool.Done < planned) {
        std::cerr << "Исследование остановлено: выполнено " << pool.Done << " из " << planned
                  << " расчетов; продолжить: zonefire-cli study " << zf::project::PrintableText(o.StudyFile) << " --out " << zf::project::PrintableText(o.OutDir)
                  << (o.Part.Count > 1 ? " --shard " + std::to_string(o.Part.Index) + "/" + std::to_string(o.Part.Count) : "")
                  << " --resume\n";
        return kExitInterrupted;
    }
    std::string summary;
    ReadSmallFile(folder.File(kSummaryText), summary);
    // The folder is complete; only the summary's copy on stdout may fail.
    return WriteStdout(summary, "не удалось вывести сводку (она записана в " + zf::project::PrintableText(folder.File(kSummaryText).string()) + ")");
}

}  // namespace

RunRow ComputeRun(const Study& study, const Sampler& sampler, std::uint64_t run, zf::RunView& view) {
    RunRow row;
    row.Run = run;
    const std::vector<Draw> draws = DrawsOfRun(study, sampler, run);
    for (const Draw& d : draws) row.Inputs.push_back(d.Text);
    row.Rooms.assign(static_cast<std::size_t>(study.RoomCount), RoomRow{});
    // Until the routes are judged, no route has a verdict.
    row.Routes.assign(static_cast<std::size_t>(study.RouteCount),
                      RouteRow{{}, {}, std::string(zfreport::VerdictKey(zfreport::Verdict::Undetermined))});
    const zf::project::Document building = ScenarioOfRun(study, draws);
    zf::TzoneMath zm;
    std::optional<std::string> refused;
    try {
        // The run reads the very text --emit-scenario prints.
        refused = zf::project::ReadScenario(zf::project::WriteDocument(building), zm);
    } catch (const std::invalid_argument& e) {
        refused = e.what();
    }
    if (refused) {
        row.Status = RunStatus::Failed;
        row.Fault = "сценарий расчета не принят: " + *refused;
        // Nothing was computed: every verdict is undetermined, for the reason the verdict gives.
        const std::string why = zfreport::RunShortfall(zfreport::RunReach{zfreport::RunEnd::Failed, 0, 0});
        for (int r = 0; r < study.RoomCount; ++r)
            if (study.RoomHasEvacuation[static_cast<std::size_t>(r)])
                row.Rooms[static_cast<std::size_t>(r)] = {{}, {}, {}, std::string(zfreport::VerdictKey(zfreport::Verdict::Undetermined)), why};
        return row;
    }
    const zf::project::RunOutcome outcome = zf::project::OutcomeOf(zm.Run(view), zm);
    row.Status = outcome == zf::project::RunOutcome::Completed ? RunStatus::Completed
                 : outcome == zf::project::RunOutcome::Stopped ? RunStatus::Stopped
                                                  : RunStatus::Failed;
    row.Step = zm.Iter;
    if (row.Status == RunStatus::Failed) row.Fault = DescribeFault(zm.LastFault);
    // The text reads back to the same document, so its evacuation inputs and safety factor are
    // those the emitted scenario gives.
    const zfreport::RunVerdict verdict = zfreport::JudgeRun(zm, building.Evacuation());
    // The program's one verdict: a failed, stopped or too short run is undetermined, with why.
    for (int r = 0; r < study.RoomCount; ++r)
        row.Rooms[static_cast<std::size_t>(r)] = RoomRowOf(verdict.Rooms[static_cast<std::size_t>(r)], zm.Room(r));
    row.Routes = RouteRowsOf(study, verdict);
    return row;
}

int StudyMain(int argc, char** argv) {
    StudyOptions options;
    if (auto usage = ParseStudyArguments(argc, argv, options)) {
        if (usage->empty()) return WriteStdout(std::string(kStudyUsage) + '\n' + StudyHelp(), "не удалось вывести справку");
        return UsageError(*usage);
    }
    InstallStopHandler();
    return RunStudy(options);
}

}  // namespace zfcli::study
