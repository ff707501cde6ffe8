#pragma once
// A single run's outputs: the table of critical times, the JSON and the CSV folder, checked and
// their temporaries made before the run, each written after it and failing on its own.
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "output_file.h"
#include "result_writer.h"

namespace zfcli {

// Where a run reads its scenario and puts its results, as the command line names them.
struct RunPaths {
    std::string Scenario;               // file, or "-" for stdin
    std::optional<std::string> Json;    // file, or "-" for stdout
    std::optional<std::string> CsvDir;
};

// The outputs, checked and their temporary files made before the run.
struct RunOutputs {
    std::unique_ptr<zf::project::AtomicFile> Json;  // absent for no --json and for --json -
    std::unique_ptr<zf::project::AtomicFolder> Csv;
};

// `path` is this process's stdout itself (/dev/stdout, or the file stdout is redirected to).
bool IsStdout(const std::filesystem::path& path);

// Refuses outputs that would destroy the input or each other, then prepares them. Throws
// OutputError.
RunOutputs PrepareOutputs(const RunPaths& paths, bool jsonToStdout);

// What a finished, stopped or failed run gives its outputs.
struct RunResults {
    const zf::TzoneMath& Zm;
    zf::project::RunOutcome Outcome;
    std::string Error;  // the failure's words, empty unless the run failed
    zfreport::EvacuationInputs Evacuation;
    std::vector<std::string> RoomNames;
};

// Writes the table (on stderr when the JSON goes to stdout, so stdout stays one JSON document),
// the JSON and the CSV files. Each output fails on its own: a broken pipe on the table still
// leaves the files written. Returns the failures' messages in order, none when all were written.
std::vector<std::string> WriteOutputs(RunOutputs& outputs, const RunResults& run, bool jsonToStdout);

}  // namespace zfcli
