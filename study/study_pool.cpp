// The runs of a study on a pool of threads.

#include "study_pool.h"

#include <sched.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>

#include "study_run.h"
#include "count_text.h"

namespace zfcli::study {
namespace {

// Set by Ctrl-C or SIGTERM (a batch system's time limit): the runs stop at their next refresh.
volatile std::sig_atomic_t gStop = 0;
void OnStop(int) { gStop = 1; }

// A run's view: no progress of its own; stops when the study is stopped.
class StudyRunView final : public zf::RunView {
public:
    bool ProgressVisible() override { return gStop == 0; }
};

// The progress line on a terminal: runs done of the share, failed ones, time left.
class ProgressLine {
public:
    ProgressLine(bool show, std::uint64_t total, std::uint64_t alreadyDone)
        : show_(show), total_(total), already_(alreadyDone), start_(std::chrono::steady_clock::now()) {}

    void Show(std::uint64_t done, std::uint64_t failed) {
        if (!show_) return;
        const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const std::uint64_t fresh = done - already_;
        std::string line = "\rИсследование: " + std::to_string(done) + " из " + zfreport::CountText(static_cast<long long>(total_), zfreport::kRunsGenitive);
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

// The rows the workers finished, handed to the thread that writes runs.csv.
struct Handover {
    std::mutex Mutex;
    std::vector<RunRow> Finished;
    std::atomic<unsigned> Running{0};
};

}  // namespace

void InstallStopHandler() {
    struct sigaction action {};
    action.sa_handler = &OnStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;  // a second signal ends the program at once
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

bool StopAsked() { return gStop != 0; }

unsigned DefaultJobs(unsigned affinityCores, const char* slurmCpusPerTask) {
    unsigned jobs = std::max(1u, affinityCores);
    if (slurmCpusPerTask) {
        const std::string text = slurmCpusPerTask;
        if (!text.empty() && text.size() < 6 && text.find_first_not_of("0123456789") == std::string::npos) {
            const unsigned allocated = static_cast<unsigned>(std::stoul(text));
            if (allocated >= 1) jobs = std::min(jobs, allocated);
        }
    }
    return jobs;
}

unsigned DefaultJobs() {
    cpu_set_t set;
    unsigned cores = std::thread::hardware_concurrency();
    if (sched_getaffinity(0, sizeof set, &set) == 0 && CPU_COUNT(&set) > 0) cores = static_cast<unsigned>(CPU_COUNT(&set));
    return DefaultJobs(cores, std::getenv("SLURM_CPUS_PER_TASK"));
}

namespace {

// The pool's own thread while the runs go on: it takes the finished rows from the workers,
// shows the progress and writes runs.csv at each checkpoint, until no worker is left. A failed
// write sets `abandoned`, which the workers read: computing more is in vain.
PoolOutcome CollectRuns(const Study& study, const Folder& folder, Handover& handover, std::atomic<bool>& abandoned,
                        ProgressLine& progress, std::uint64_t alreadyDone) {
    PoolOutcome outcome;
    outcome.Done = alreadyDone;
    using Clock = std::chrono::steady_clock;
    // runs.csv is rewritten at each checkpoint, once a second; a study of very many runs
    // waits twenty times as long as the last rewrite took, so this thread never takes more
    // than about 5 % of a core from the runs.
    std::chrono::duration<double> checkpointEvery(1.0);
    auto lastCheckpoint = Clock::now();
    std::uint64_t failed = 0;
    std::map<std::uint64_t, RunRow> pending;  // rows not yet in runs.csv
    for (bool lastRound = false; !lastRound;) {
        lastRound = handover.Running == 0;
        if (!lastRound) std::this_thread::sleep_for(std::chrono::milliseconds(200));
        {
            std::lock_guard lock(handover.Mutex);
            for (RunRow& row : handover.Finished) {
                failed += row.Status == RunStatus::Failed;
                pending[row.Run] = std::move(row);
                ++outcome.Done;
            }
            handover.Finished.clear();
        }
        progress.Show(outcome.Done, failed);
        const bool due = Clock::now() - lastCheckpoint >= checkpointEvery;
        if (!pending.empty() && (lastRound || due) && !abandoned) {
            const auto writeStart = Clock::now();
            outcome.WriteFailure = WriteRunsCsv(folder, study, pending);
            abandoned = outcome.WriteFailure.has_value();
            if (!abandoned) pending.clear();
            lastCheckpoint = Clock::now();
            checkpointEvery = std::max(std::chrono::duration<double>(1.0), 20 * std::chrono::duration<double>(lastCheckpoint - writeStart));
        }
    }
    return outcome;
}

}  // namespace

PoolOutcome RunPool(const Study& study, const Folder& folder, std::uint64_t first, std::uint64_t last,
                    const std::vector<bool>& done, std::uint64_t alreadyDone, unsigned jobs, bool showProgress) {
    const Sampler sampler(study.Method, study.Seed, study.Runs, study.Inputs.size());
    Handover handover;
    handover.Running = jobs;
    std::atomic<std::uint64_t> next{first};
    std::atomic<bool> abandoned{false};  // runs.csv could not be written: computing more is in vain
    auto worker = [&] {
        StudyRunView view;
        for (std::uint64_t run; gStop == 0 && !abandoned && (run = next.fetch_add(1)) <= last;) {
            if (done[run - first]) continue;
            RunRow row = ComputeRun(study, sampler, run, view);
            if (row.Status == RunStatus::Stopped) break;  // not a result: --resume computes it again
            std::lock_guard lock(handover.Mutex);
            handover.Finished.push_back(std::move(row));
        }
        --handover.Running;
    };
    std::vector<std::thread> threads;
    for (unsigned j = 0; j < jobs; ++j) threads.emplace_back(worker);
    ProgressLine progress(showProgress, last + 1 - first, alreadyDone);
    const PoolOutcome outcome = CollectRuns(study, folder, handover, abandoned, progress, alreadyDone);
    for (std::thread& t : threads) t.join();
    progress.Close();
    return outcome;
}

}  // namespace zfcli::study
