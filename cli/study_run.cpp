// The study and merge commands of the headless runner.

#include "study_run.h"

#include "output_file.h"

#include <fcntl.h>
#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <mutex>
#include <sstream>
#include <thread>

#include "result_writer.h"
#include "project/scenario_file.h"
#include "verdict.h"

namespace zfcli::study {
namespace {

constexpr int kExitDone = 0;
constexpr int kExitIncomplete = 1;  // merge: runs are missing from the shards
constexpr int kExitBadInput = 2;
constexpr int kExitOutputFailed = 3;
constexpr int kExitInterrupted = 130;

}  // namespace

const char* const kStudyUsage =
    "Использование: zonefire-cli study ИССЛЕДОВАНИЕ.json --out КАТАЛОГ [--jobs N] [--shard I/N] [--resume] [--quiet]\n"
    "               zonefire-cli study ИССЛЕДОВАНИЕ.json --emit-scenario НОМЕР\n"
    "               zonefire-cli merge КАТАЛОГ КАТАЛОГ_ДОЛИ...\n";

const char* const kStudyHelp =
    "study выполняет серию расчетов со случайно выбранными входными данными и оценивает\n"
    "разброс времени блокирования путей эвакуации в каждом помещении, доли расчетов с выводом\n"
    "«опасно» и «не определено» и влияние каждого входного параметра.\n"
    "\n"
    "  --out КАТАЛОГ        записать runs.csv, summary.json, summary.txt и study.json в КАТАЛОГ\n"
    "  --jobs N             число одновременных расчетов (по умолчанию — число доступных ядер)\n"
    "  --shard I/N          выполнить только долю I из N: расчеты с ⌊(I−1)·R/N⌋+1 по ⌊I·R/N⌋,\n"
    "                       где R — число расчетов исследования; доли объединяет merge\n"
    "  --resume             продолжить прерванное исследование: выполнить только недостающие расчеты\n"
    "  --emit-scenario НОМЕР  вывести сценарий расчета с этим номером (от 1) и выйти\n"
    "  --quiet              не показывать ход исследования\n"
    "\n"
    "merge КАТАЛОГ КАТАЛОГ_ДОЛИ... объединяет каталоги долей в результаты всего исследования;\n"
    "они совпадают байт в байт с результатами исследования, выполненного целиком.\n"
    "\n"
    "Файл исследования (JSON): \"base\" (сценарий) или \"base_file\" (путь к файлу сценария\n"
    "относительно файла исследования), \"runs\" (число расчетов), \"seed\", \"sampling\"\n"
    "(\"monte-carlo\" или \"latin-hypercube\") и \"vary\": [{\"input\": ..., \"distribution\": ...,\n"
    "параметры}, ...]. Изменяемые параметры: числа сценария верхнего уровня (Vlin, PsiUd, D, T0,\n"
    "fire_area_max, safety_factor и др.; SamplesPerSec — только choice), plume,\n"
    "rooms[i].length|width|height, rooms[i].evacuation.start_delay|duration,\n"
    "openings[k].width|height|open (номера с 1). Распределения: uniform (min, max), normal\n"
    "(mean, sd, необязательные min, max), lognormal (mu, sigma или median, factor), triangular\n"
    "(min, mode, max), bernoulli (p; только open), choice (values, необязательные weights).\n"
    "Пример: examples/study/two_rooms_study.json.\n"
    "\n"
    "Ctrl-C (или SIGTERM) останавливает исследование; выполненные расчеты записываются.\n"
    "Коды завершения: 0 — все расчеты выполнены (в том числе с ошибками расчета);\n"
    "1 — merge: не хватает расчетов; 2 — неверные входные данные или параметры;\n"
    "3 — не удалось записать результаты; 130 — исследование остановлено.\n";

namespace {

// Set by Ctrl-C or SIGTERM (a batch system's time limit): the runs stop at their next refresh.
volatile std::sig_atomic_t gStop = 0;
void OnStop(int) { gStop = 1; }

void InstallStopHandler() {
    struct sigaction action {};
    action.sa_handler = &OnStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;  // a second signal ends the program at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

// A run's view: no progress of its own; stops when the study is stopped.
class StudyRunView final : public zf::RunView {
public:
    bool ProgressVisible() override { return gStop == 0; }
};

int Refuse(const std::string& where, const std::string& message) {
    std::cerr << (where.empty() ? std::string("zonefire-cli") : where) << ": " << message << '\n';
    return kExitBadInput;
}

int UsageError(const std::string& message) {
    std::cerr << "zonefire-cli: " << message << '\n' << kStudyUsage << "Подробнее: zonefire-cli study --help\n";
    return kExitBadInput;
}

// A whole text file, at most a few megabytes (study files and runs.csv of big studies alike).
std::optional<std::string> ReadWhole(const std::filesystem::path& path, std::string& text) {
    constexpr std::uintmax_t kMaxBytes = 1u << 30;
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) return "это каталог, а не файл";
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::string("не удалось открыть файл: ") + std::strerror(errno);
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxBytes) return "файл слишком велик";
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::string("не удалось прочитать файл: ") + std::strerror(errno);
    text = content.str();
    return std::nullopt;
}

// ---- Blocking time and verdict of a room ----------------------------------------------------

RoomRow RoomRowOf(const zfreport::RoomVerdict& verdict, const zf::TRoom& room) {
    RoomRow r;
    r.Times = zfreport::CriticalTimesOf(room);
    r.Blocking = verdict.BlockingTime;
    for (zf::HazardKind k : verdict.BlockingFactors)
        r.Factors += (r.Factors.empty() ? "" : "+") + std::string(zfreport::kHazardShortNames[static_cast<std::size_t>(k)]);
    if (verdict.Outcome) r.Verdict = zfreport::VerdictKey(*verdict.Outcome);
    return r;
}

// ---- The output folder ----------------------------------------------------------------------

struct Folder {
    std::filesystem::path Dir;
    std::filesystem::path File(const char* name) const { return Dir / name; }
};

std::string RunsCsv(const Study& study, const std::map<std::uint64_t, RunRow>& rows) {
    std::string text = CsvHeader(study) + "\n";
    for (const auto& [run, row] : rows) text += CsvRow(study, row);
    return text;
}

// Writes runs.csv, and with `summaries` summary.json and summary.txt computed from runs.csv
// as written.
std::optional<std::string> WriteResults(const Folder& folder, const Study& study, const std::map<std::uint64_t, RunRow>& rows,
                                        const Share& share, bool summaries) {
    const std::string csv = RunsCsv(study, rows);
    if (auto failed = WriteFileWhole(folder.File("runs.csv"), csv)) return failed;
    if (!summaries) return std::nullopt;
    std::vector<RunRow> parsed;
    if (auto bad = ParseCsv(study, csv, parsed)) return "runs.csv: " + *bad;  // cannot happen: it was just written
    if (auto failed = WriteFileWhole(folder.File("summary.json"), SummaryJson(study, parsed, share))) return failed;
    return WriteFileWhole(folder.File("summary.txt"), SummaryText(study, parsed, share));
}

// The study and the rows an output folder holds. Returns a message when it holds none or a
// damaged one.
std::optional<std::string> LoadFolder(const std::filesystem::path& dir, std::string& canonical, Study& study,
                                      std::vector<RunRow>& rows) {
    if (auto bad = ReadWhole(dir / "study.json", canonical)) return "study.json: " + *bad;
    if (auto bad = ReadStudy(canonical, dir, study)) return "study.json: " + *bad;
    std::string csv;
    if (auto bad = ReadWhole(dir / "runs.csv", csv)) return "runs.csv: " + *bad;
    if (auto bad = ParseCsv(study, csv, rows)) return "runs.csv, " + *bad;
    return std::nullopt;
}

// ---- Command line ---------------------------------------------------------------------------

struct StudyOptions {
    std::string StudyFile;
    std::string OutDir;
    unsigned Jobs = 0;  // 0: every core
    Share Part;
    bool Resume = false;
    bool Quiet = false;
    std::optional<std::uint64_t> EmitRun;
};

std::optional<std::uint64_t> WholeNumber(const std::string& text) {
    if (text.empty() || text.size() > 18 || text.find_first_not_of("0123456789") != std::string::npos) return std::nullopt;
    return std::stoull(text);
}

// Parses the arguments after "study"; returns a usage message, or "" for --help.
std::optional<std::string> ParseStudyArguments(int argc, char** argv, StudyOptions& o) {
    bool haveStudy = false, haveShard = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> std::string { return i + 1 < argc ? std::string(argv[++i]) : std::string(); };
        if (arg == "--help") return std::string();
        if (arg == "--resume") {
            o.Resume = true;
        } else if (arg == "--quiet") {
            o.Quiet = true;
        } else if (arg == "--out") {
            o.OutDir = value();
            if (o.OutDir.empty()) return "после --out нужно имя каталога";
        } else if (arg == "--jobs") {
            const auto n = WholeNumber(value());
            if (!n || *n < 1 || *n > 1024) return "после --jobs нужно число расчетов от 1 до 1024";
            o.Jobs = static_cast<unsigned>(*n);
        } else if (arg == "--shard") {
            const std::string v = value();
            const auto slash = v.find('/');
            const auto index = WholeNumber(v.substr(0, slash)), count = slash == std::string::npos ? std::nullopt : WholeNumber(v.substr(slash + 1));
            if (!index || !count || *index < 1 || *index > *count) return "после --shard нужна доля I/N, где 1 ≤ I ≤ N (например 2/8)";
            o.Part = Share{*index, *count};
            haveShard = true;
        } else if (arg == "--emit-scenario") {
            const auto n = WholeNumber(value());
            if (!n || *n < 1) return "после --emit-scenario нужен номер расчета (от 1)";
            o.EmitRun = *n;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "неизвестный параметр " + arg;
        } else if (haveStudy) {
            return "задан лишний аргумент " + arg;
        } else {
            o.StudyFile = arg;
            haveStudy = true;
        }
    }
    if (!haveStudy) return "не задан файл исследования";
    if (o.EmitRun && (!o.OutDir.empty() || haveShard || o.Resume)) return "--emit-scenario не сочетается с --out, --shard и --resume";
    if (!o.EmitRun && o.OutDir.empty()) return "не задан каталог результатов (--out КАТАЛОГ)";
    return std::nullopt;
}

// ---- The pool -------------------------------------------------------------------------------

// The progress line on a terminal: runs done of the share, failed ones, time left.
class ProgressLine {
public:
    ProgressLine(bool show, std::uint64_t total, std::uint64_t alreadyDone)
        : show_(show), total_(total), already_(alreadyDone), start_(std::chrono::steady_clock::now()) {}

    void Show(std::uint64_t done, std::uint64_t failed) {
        if (!show_) return;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const std::uint64_t fresh = done - already_;
        std::string line = "\rИсследование: " + std::to_string(done) + " из " + std::to_string(total_) + " расчетов";
        if (failed) line += ", с ошибкой " + std::to_string(failed);
        if (fresh > 0 && done < total_) {
            const auto left = static_cast<long long>(elapsed / static_cast<double>(fresh) * static_cast<double>(total_ - done) + 0.5);
            line += ", осталось около " + std::to_string(left) + " с";
        }
        std::fputs((line + "\x1b[K").c_str(), stderr);
        std::fflush(stderr);
        wrote_ = true;
    }
    void Close() {
        if (wrote_) std::fputs("\r\x1b[K", stderr);
        wrote_ = false;
    }

private:
    bool show_;
    std::uint64_t total_, already_;
    std::chrono::steady_clock::time_point start_;
    bool wrote_ = false;
};

struct PoolOutcome {
    std::optional<std::string> WriteFailure;
};

// Runs `todo` on `jobs` threads; finished rows join `rows`. Every second or so runs.csv is
// rewritten, so a killed study keeps what it computed.
PoolOutcome RunPool(const Study& study, const Sampler& sampler, const std::vector<std::uint64_t>& todo, unsigned jobs,
                    const Folder& folder, std::map<std::uint64_t, RunRow>& rows, const Share& share, ProgressLine& progress) {
    std::mutex mutex;
    std::vector<RunRow> finished;  // handed from the workers to this thread
    std::atomic<std::size_t> next{0};
    std::atomic<unsigned> running{jobs};
    auto worker = [&] {
        StudyRunView view;
        for (std::size_t i; gStop == 0 && (i = next.fetch_add(1)) < todo.size();) {
            RunRow row = ComputeRun(study, sampler, todo[i], view);
            if (row.Status == RunStatus::Stopped) break;  // not a result: --resume computes it again
            std::lock_guard lock(mutex);
            finished.push_back(std::move(row));
        }
        --running;
    };
    std::vector<std::thread> threads;
    for (unsigned j = 0; j < jobs; ++j) threads.emplace_back(worker);

    PoolOutcome outcome;
    using Clock = std::chrono::steady_clock;
    // runs.csv is rewritten whole at each checkpoint, once a second; a study of very many
    // runs waits twenty times as long as the last rewrite took, so this thread never takes
    // more than about 5 % of a core from the runs.
    std::chrono::duration<double> checkpointEvery(1.0);
    auto lastCheckpoint = Clock::now();
    std::uint64_t failed = static_cast<std::uint64_t>(std::count_if(rows.begin(), rows.end(), [](const auto& r) {
        return r.second.Status == RunStatus::Failed;
    }));
    bool pending = false;  // rows not yet in runs.csv
    for (bool last = false; !last;) {
        last = running == 0;
        if (!last) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        {
            std::lock_guard lock(mutex);
            for (RunRow& row : finished) {
                failed += row.Status == RunStatus::Failed;
                rows[row.Run] = std::move(row);
                pending = true;
            }
            finished.clear();
        }
        progress.Show(rows.size(), failed);
        if (!last && pending && Clock::now() - lastCheckpoint >= checkpointEvery && !outcome.WriteFailure) {
            const auto writeStart = Clock::now();
            outcome.WriteFailure = WriteResults(folder, study, rows, share, false);
            lastCheckpoint = Clock::now();
            checkpointEvery = std::max(std::chrono::duration<double>(1.0), 20 * std::chrono::duration<double>(lastCheckpoint - writeStart));
            pending = false;
        }
    }
    for (std::thread& t : threads) t.join();
    progress.Close();
    return outcome;
}

// The cores this process may run on: a batch system's allocation (its CPU set), not the
// whole node.
unsigned UsableCores() {
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) return static_cast<unsigned>(CPU_COUNT(&set));
    return std::max(1u, std::thread::hardware_concurrency());
}

int EmitScenario(const Study& study, std::uint64_t run) {
    if (run > study.Runs)
        return Refuse("", "нет расчета с номером " + std::to_string(run) + " (в исследовании расчеты 1…" + std::to_string(study.Runs) + ")");
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    try {
        std::cout << ScenarioText(study, DrawsOfRun(study, sampler, run));
    } catch (const std::invalid_argument& e) {
        return Refuse("", "сценарий расчета №" + std::to_string(run) + " нельзя записать: " + e.what());
    }
    std::cout.flush();
    if (!std::cout) return Refuse("", "не удалось вывести сценарий");
    return kExitDone;
}

int RunStudy(const StudyOptions& o) {
    std::string text;
    if (auto bad = ReadWhole(o.StudyFile, text)) return Refuse(o.StudyFile, *bad);
    Study study;
    if (auto bad = ReadStudy(text, std::filesystem::path(o.StudyFile).parent_path(), study)) return Refuse(o.StudyFile, *bad);
    if (o.EmitRun) return EmitScenario(study, *o.EmitRun);
    if (o.Part.Count > study.Runs) return Refuse("", "долей (" + std::to_string(o.Part.Count) + ") больше, чем расчетов (" + std::to_string(study.Runs) + ")");

    const Folder folder{o.OutDir};
    std::error_code ec;
    std::filesystem::create_directories(folder.Dir, ec);
    if (!std::filesystem::is_directory(folder.Dir, ec)) return Refuse(o.OutDir, "не удалось создать каталог результатов");

    // What the folder already holds: refused without --resume, kept with it.
    std::map<std::uint64_t, RunRow> rows;
    const auto [first, last] = RunsOfShard(study.Runs, o.Part);
    if (std::filesystem::exists(folder.File("study.json"), ec) || std::filesystem::exists(folder.File("runs.csv"), ec)) {
        if (!o.Resume)
            return Refuse(o.OutDir, "в каталоге уже есть результаты исследования; продолжить его: --resume, или задайте другой каталог");
        std::string canonical;
        Study previous;
        std::vector<RunRow> kept;
        if (auto bad = LoadFolder(folder.Dir, canonical, previous, kept)) return Refuse(o.OutDir, "нельзя продолжить: " + *bad);
        if (canonical != study.Canonical) return Refuse(o.OutDir, "нельзя продолжить: в каталоге результаты другого исследования");
        for (RunRow& row : kept) {
            if (row.Run < first || row.Run > last)
                return Refuse(o.OutDir, "нельзя продолжить: в каталоге есть расчет №" + std::to_string(row.Run) + " другой доли");
            rows[row.Run] = std::move(row);
        }
    }
    // The study first, then runs.csv as it stands: from here on the folder can be resumed.
    auto started = WriteFileWhole(folder.File("study.json"), study.Canonical);
    if (!started) started = WriteResults(folder, study, rows, o.Part, false);
    if (started) {
        std::cerr << *started << '\n';
        return kExitOutputFailed;
    }

    std::vector<std::uint64_t> todo;
    for (std::uint64_t run = first; run <= last; ++run)
        if (!rows.count(run)) todo.push_back(run);
    const unsigned jobs = std::max(1u, std::min<unsigned>(o.Jobs ? o.Jobs : UsableCores(),
                                                          static_cast<unsigned>(std::max<std::size_t>(todo.size(), 1))));
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    ProgressLine progress(!o.Quiet && isatty(STDERR_FILENO), last + 1 - first, rows.size());
    const PoolOutcome pool = RunPool(study, sampler, todo, jobs, folder, rows, o.Part, progress);

    auto failed = pool.WriteFailure;
    if (auto final = WriteResults(folder, study, rows, o.Part, true)) failed = final;
    if (failed) {
        std::cerr << *failed << '\n';
        return kExitOutputFailed;
    }
    const std::uint64_t planned = last + 1 - first;
    if (rows.size() < planned) {
        std::cerr << "Исследование остановлено: выполнено " << rows.size() << " из " << planned
                  << " расчетов; продолжить: zonefire-cli study " << o.StudyFile << " --out " << o.OutDir
                  << (o.Part.Count > 1 ? " --shard " + std::to_string(o.Part.Index) + "/" + std::to_string(o.Part.Count) : "")
                  << " --resume\n";
        return kExitInterrupted;
    }
    std::string summary;
    ReadWhole(folder.File("summary.txt"), summary);
    std::cout << summary;
    return kExitDone;
}

// "5–10, 17" of the run numbers in [1, runs] that `rows` lacks.
std::string MissingRuns(std::uint64_t runs, const std::map<std::uint64_t, RunRow>& rows) {
    std::string text;
    for (std::uint64_t run = 1; run <= runs;) {
        if (rows.count(run)) {
            ++run;
            continue;
        }
        std::uint64_t end = run;
        while (end + 1 <= runs && !rows.count(end + 1)) ++end;
        text += (text.empty() ? "" : ", ") + std::to_string(run) + (end > run ? "–" + std::to_string(end) : "");
        run = end + 1;
    }
    return text;
}

}  // namespace

RunRow ComputeRun(const Study& study, const Sampler& sampler, std::uint64_t run, zf::RunView& view) {
    RunRow row;
    row.Run = run;
    const std::vector<Draw> draws = DrawsOfRun(study, sampler, run);
    for (const Draw& d : draws) row.Inputs.push_back(d.Text);
    row.Rooms.assign(static_cast<std::size_t>(study.RoomCount), RoomRow{});
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
        return row;
    }
    const RunOutcome outcome = OutcomeOf(zm.Run(view), zm);
    row.Status = outcome == RunOutcome::Completed ? RunStatus::Completed
                 : outcome == RunOutcome::Stopped ? RunStatus::Stopped
                                                  : RunStatus::Failed;
    row.Step = zm.Iter;
    if (row.Status == RunStatus::Failed) row.Fault = DescribeFault(zm.LastFault);
    // The text reads back to the same document, so its evacuation inputs and safety factor are
    // those the emitted scenario gives.
    const zfreport::RunVerdict verdict = zfreport::JudgeRun(zm, building.Evacuation());
    for (int r = 0; r < study.RoomCount; ++r)
        row.Rooms[static_cast<std::size_t>(r)] = RoomRowOf(verdict.Rooms[static_cast<std::size_t>(r)], zm.Room(r));
    return row;
}

std::optional<std::string> WriteFileWhole(const std::filesystem::path& path, const std::string& text) {
    // The runner's atomic file: a temporary file beside the target, synced and renamed over it.
    try {
        AtomicFile file(path);
        file.Stream() << text;
        file.Commit();
    } catch (const OutputError& e) {
        return e.what();
    }
    return std::nullopt;
}

int StudyMain(int argc, char** argv) {
    StudyOptions options;
    if (auto usage = ParseStudyArguments(argc, argv, options)) {
        if (usage->empty()) {
            std::cout << kStudyUsage << '\n' << kStudyHelp;
            return kExitDone;
        }
        return UsageError(*usage);
    }
    InstallStopHandler();
    return RunStudy(options);
}

int MergeMain(int argc, char** argv) {
    if (argc >= 2 && std::string(argv[1]) == "--help") {
        std::cout << kStudyUsage << '\n' << kStudyHelp;
        return kExitDone;
    }
    if (argc < 3) return UsageError("merge: нужны каталог результатов и хотя бы один каталог доли");
    std::string canonical;
    Study study;
    std::map<std::uint64_t, RunRow> rows;
    std::map<std::uint64_t, std::string> source;  // run → the folder it came from
    for (int i = 2; i < argc; ++i) {
        std::string shardCanonical;
        Study shardStudy;
        std::vector<RunRow> shardRows;
        if (auto bad = LoadFolder(argv[i], shardCanonical, shardStudy, shardRows)) return Refuse(argv[i], *bad);
        if (canonical.empty()) {
            canonical = shardCanonical;
            study = shardStudy;
        } else if (shardCanonical != canonical) {
            return Refuse(argv[i], "результаты другого исследования, чем в " + std::string(argv[2]));
        }
        for (RunRow& row : shardRows) {
            if (const auto it = source.find(row.Run); it != source.end())
                return Refuse(argv[i], "расчет №" + std::to_string(row.Run) + " есть и в " + it->second);
            source[row.Run] = argv[i];
            rows[row.Run] = std::move(row);
        }
    }
    const Folder folder{argv[1]};
    std::error_code ec;
    std::filesystem::create_directories(folder.Dir, ec);
    if (!std::filesystem::is_directory(folder.Dir, ec)) return Refuse(argv[1], "не удалось создать каталог результатов");
    std::string existing;
    if (std::filesystem::exists(folder.File("study.json"), ec) && !ReadWhole(folder.File("study.json"), existing) && existing != canonical)
        return Refuse(argv[1], "в каталоге результаты другого исследования");
    std::optional<std::string> failed = WriteFileWhole(folder.File("study.json"), canonical);
    if (!failed) failed = WriteResults(folder, study, rows, Share{}, true);
    if (failed) {
        std::cerr << *failed << '\n';
        return kExitOutputFailed;
    }
    if (rows.size() < study.Runs) {
        std::cerr << "zonefire-cli merge: не хватает расчетов " << MissingRuns(study.Runs, rows) << " из 1…" << study.Runs
                  << "; результаты записаны по имеющимся расчетам\n";
        return kExitIncomplete;
    }
    return kExitDone;
}

}  // namespace zfcli::study
