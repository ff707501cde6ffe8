#pragma once
// The command lines of study and merge: their options, their exit codes and the way they
// refuse.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "study_table.h"

namespace zfcli::study {

inline constexpr int kExitDone = 0;
inline constexpr int kExitIncomplete = 1;  // merge: runs are missing from the shards
inline constexpr int kExitBadInput = 2;
inline constexpr int kExitOutputFailed = 3;
inline constexpr int kExitInterrupted = 130;

struct StudyOptions {
    std::string StudyFile;
    std::string OutDir;
    unsigned Jobs = 0;  // 0: the cores the process may run on
    Share Part;
    bool Resume = false;
    bool Quiet = false;
    bool Strict = false;  // warnings of the base building refuse the study
    bool Check = false;  // read and validate only
    std::optional<std::uint64_t> EmitRun;
};

// Parses the arguments after "study" (argv[0] is "study"); returns a usage message, or "" for
// --help. --shard I/N counts I from 1, or from 0 after --shard-index-base 0 (as a job array's
// task number or GNU Parallel's {%} minus one come).
std::optional<std::string> ParseStudyArguments(int argc, char** argv, StudyOptions& options);

struct MergeOptions {
    std::string OutDir;
    std::vector<std::string> Shards;
    bool Force = false;    // replace a folder that holds more runs of the study
    bool Partial = false;  // write the runs there are when some are missing
};

// Parses the arguments after "merge"; returns a usage message, or "" for --help.
std::optional<std::string> ParseMergeArguments(int argc, char** argv, MergeOptions& options);

// Writes `text` whole on stdout; when it cannot (closed, full, a broken pipe), says `what` and
// the system's reason on stderr and returns kExitOutputFailed, else kExitDone.
int WriteStdout(const std::string& text, const std::string& what);

// "<where>: <message>" on stderr (the file names made safe to print); returns kExitBadInput.
int Refuse(const std::string& where, const std::string& message);
// The message, the usage lines and where to read more; returns kExitBadInput.
int UsageError(const std::string& message);

}  // namespace zfcli::study
