#pragma once
// The runs of a study on a pool of threads, their progress line, and the stop by a signal.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study_folder.h"
#include "study_random.h"

namespace zfcli::study {

// Makes Ctrl-C and SIGTERM (a batch system's time limit or cancel) stop the runs at their next
// refresh; a second signal ends the program at once.
void InstallStopHandler();
// Whether a signal asked the study to stop.
bool StopAsked();

// The number of runs computed at once when --jobs is not given: the cores this process may
// run on (its CPU affinity, which a batch system narrows to the allocation), no more than a
// Slurm task's SLURM_CPUS_PER_TASK when that is a whole number ≥ 1, and at least 1.
unsigned DefaultJobs(unsigned affinityCores, const char* slurmCpusPerTask);
// The same for this process.
unsigned DefaultJobs();

struct PoolOutcome {
    std::uint64_t Done = 0;  // rows in runs.csv at the end
    std::optional<std::string> WriteFailure;
};

// Computes the runs of [first, last] that `done` (indexed from `first`) lacks, on `jobs`
// threads, and keeps runs.csv up to date: the rows finished since the last rewrite are slotted
// in about once a second (less often once a rewrite takes long), and once more at the end.
// Memory holds those rows only, whatever the number of runs. `alreadyDone` rows are in
// runs.csv at the start.
PoolOutcome RunPool(const Study& study, const Folder& folder, std::uint64_t first, std::uint64_t last,
                    const std::vector<bool>& done, std::uint64_t alreadyDone, unsigned jobs, bool showProgress);

}  // namespace zfcli::study
