#pragma once
// Running a parameter study: the runs on a pool of threads, the output folder, resuming, the
// shards of a cluster job and their merge.
//
//   zonefire-cli study STUDY.json --out DIR [--jobs N] [--shard I/N] [--resume] [--quiet]
//   zonefire-cli study STUDY.json --emit-scenario RUN
//   zonefire-cli merge DIR SHARD_DIR...
//
// What an output folder holds and how it is kept: study_folder.h. runs.csv is rewritten every
// second while the study runs (less often once a rewrite takes over 50 ms: a study of hundreds
// of thousands of runs), so a killed study loses only the runs of that last interval and
// --resume computes only the runs it lacks. A failed run is a row like any other, its verdict
// "не определено". (The options in study_options.cpp, the pool in study_pool.cpp, the merge in
// study_merge.cpp.)

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "model/run_view.h"
#include "study_file.h"
#include "study_table.h"

namespace zfcli::study {

// The usage lines of study and merge, and their help; the runner's own --help shows them too.
extern const char* const kStudyUsage;
std::string StudyHelp();  // the element keys a study varies from their tables

// Computes run `run` of the study: its draws, its scenario and the rooms' results. A drawn
// scenario the reader refuses is a failed run at step 0 with the reader's message. A run
// stopped through `view` comes back with RunStatus::Stopped.
RunRow ComputeRun(const Study& study, const Sampler& sampler, std::uint64_t run, zf::RunView& view);

// The two commands; argv[0] is "study" or "merge". Return the program's exit code.
int StudyMain(int argc, char** argv);
int MergeMain(int argc, char** argv);

}  // namespace zfcli::study
