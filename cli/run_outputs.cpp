#include "run_outputs.h"

#include <sys/stat.h>
#include <unistd.h>

#include "printable_text.h"

namespace zfcli {

namespace fs = std::filesystem;

bool IsStdout(const fs::path& path) {
    struct stat out {}, file {};
    return ::fstat(STDOUT_FILENO, &out) == 0 && ::stat(path.c_str(), &file) == 0 && out.st_dev == file.st_dev &&
           out.st_ino == file.st_ino;
}

namespace {

bool SameFile(const fs::path& a, const fs::path& b) {
    struct stat sa {}, sb {};
    return ::stat(a.c_str(), &sa) == 0 && ::stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// The CSV folder is replaced whole: neither the JSON nor the scenario may be it or lie in it.
std::unique_ptr<AtomicFolder> PrepareCsv(const RunPaths& paths, const RunOutputs& outputs) {
    const std::string& dir = *paths.CsvDir;
    const fs::path folder = ResolveOutputPath(dir);
    auto inside = [&](const fs::path& file) { return ResolveOutputPath(file).parent_path() == folder; };
    if (outputs.Json && outputs.Json->ResolvedTarget() == folder)
        throw OutputError("--json и --csv: один и тот же путь " + PrintableText(dir));
    if (outputs.Json && outputs.Json->ResolvedTarget().parent_path() == folder)
        throw OutputError("--json " + PrintableText(*paths.Json) + " лежит в каталоге --csv " + PrintableText(dir) +
                          ", который заменяется целиком — задайте файл вне его");
    if (paths.Scenario != "-" && inside(paths.Scenario))
        throw OutputError("--csv " + PrintableText(dir) + ": в нем лежит файл сценария " +
                          PrintableText(paths.Scenario) + ", а каталог заменяется целиком — задайте другой каталог");
    return std::make_unique<AtomicFolder>(dir, &IsCsvFolderFile);
}

}  // namespace

RunOutputs PrepareOutputs(const RunPaths& paths, bool jsonToStdout) {
    RunOutputs outputs;
    if (paths.Json && !jsonToStdout) {
        if (paths.Scenario != "-" && SameFile(*paths.Json, paths.Scenario))
            throw OutputError("--json " + PrintableText(*paths.Json) + ": это файл сценария " +
                              PrintableText(paths.Scenario) + "; результат записался бы на его место — задайте другой файл");
        outputs.Json = std::make_unique<AtomicFile>(*paths.Json);
    }
    if (paths.CsvDir) outputs.Csv = PrepareCsv(paths, outputs);
    return outputs;
}

std::vector<std::string> WriteOutputs(RunOutputs& outputs, const RunResults& run, bool jsonToStdout) {
    std::vector<std::string> failures;
    const std::string table = CriticalTimesReport(run.Zm, run.Evacuation, run.RoomNames) +
                              OutcomeLine(run.Outcome, run.Zm) + "\n" + WarningLines(run.Zm);
    if (const int err = WriteAll(jsonToStdout ? STDERR_FILENO : STDOUT_FILENO, table); err && !jsonToStdout)
        failures.push_back(OutputMessage("стандартный вывод", "не удалось вывести таблицу критических времен", err));
    if (jsonToStdout) {
        FdOutputStream out(STDOUT_FILENO);
        WriteJson(out, run.Zm, run.Outcome, run.Error, run.Evacuation, run.RoomNames);
        if (const int err = out.Finish())
            failures.push_back(OutputMessage("стандартный вывод", "не удалось вывести результат JSON", err));
    }
    try {
        if (outputs.Json) {
            WriteJson(outputs.Json->Stream(), run.Zm, run.Outcome, run.Error, run.Evacuation, run.RoomNames);
            outputs.Json->Commit();
        }
    } catch (const OutputError& e) {
        failures.push_back(e.what());
    }
    try {
        if (outputs.Csv) {
            WriteCsvFiles(*outputs.Csv, run.Zm, run.Outcome, run.Error);
            outputs.Csv->Commit();
        }
    } catch (const OutputError& e) {
        failures.push_back(e.what());
    }
    return failures;
}

}  // namespace zfcli
