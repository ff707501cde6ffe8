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
std::unique_ptr<zf::project::AtomicFolder> PrepareCsv(const RunPaths& paths, const RunOutputs& outputs) {
    const std::string& dir = *paths.CsvDir;
    const fs::path folder = zf::project::ResolveOutputPath(dir);
    auto inside = [&](const fs::path& file) { return zf::project::ResolveOutputPath(file).parent_path() == folder; };
    if (outputs.Json && outputs.Json->ResolvedTarget() == folder)
        throw zf::project::OutputError("--json и --csv: один и тот же путь " + zf::project::PrintableText(dir));
    if (outputs.Json && outputs.Json->ResolvedTarget().parent_path() == folder)
        throw zf::project::OutputError("--json " + zf::project::PrintableText(*paths.Json) + " лежит в каталоге --csv " + zf::project::PrintableText(dir) +
                          ", который заменяется целиком — задайте файл вне его");
    if (paths.Scenario != "-" && inside(paths.Scenario))
        throw zf::project::OutputError("--csv " + zf::project::PrintableText(dir) + ": в нем лежит файл сценария " +
                          zf::project::PrintableText(paths.Scenario) + ", а каталог заменяется целиком — задайте другой каталог");
    return std::make_unique<zf::project::AtomicFolder>(dir, &zf::project::IsCsvFolderFile);
}

}  // namespace

RunOutputs PrepareOutputs(const RunPaths& paths, bool jsonToStdout) {
    RunOutputs outputs;
    if (paths.Json && !jsonToStdout) {
        if (paths.Scenario != "-" && SameFile(*paths.Json, paths.Scenario))
            throw zf::project::OutputError("--json " + zf::project::PrintableText(*paths.Json) + ": это файл сценария " +
                              zf::project::PrintableText(paths.Scenario) + "; результат записался бы на его место — задайте другой файл");
        outputs.Json = std::make_unique<zf::project::AtomicFile>(*paths.Json);
    }
    if (paths.CsvDir) outputs.Csv = PrepareCsv(paths, outputs);
    return outputs;
}

std::vector<std::string> WriteOutputs(RunOutputs& outputs, const RunResults& run, bool jsonToStdout) {
    std::vector<std::string> failures;
    const std::string table = zf::project::CriticalTimesReport(run.Zm, run.Evacuation, run.RoomNames) +
                              zf::project::OutcomeLine(run.Outcome, run.Zm) + "\n" + zf::project::WarningLines(run.Zm);
    if (const int err = zf::project::WriteAll(jsonToStdout ? STDERR_FILENO : STDOUT_FILENO, table); err && !jsonToStdout)
        failures.push_back(zf::project::OutputMessage("стандартный вывод", "не удалось вывести таблицу критических времен", err));
    if (jsonToStdout) {
        zf::project::FdOutputStream out(STDOUT_FILENO);
        zf::project::WriteJson(out, run.Zm, run.Outcome, run.Error, run.Evacuation, run.RoomNames);
        if (const int err = out.Finish())
            failures.push_back(zf::project::OutputMessage("стандартный вывод", "не удалось вывести результат JSON", err));
    }
    try {
        if (outputs.Json) {
            zf::project::WriteJson(outputs.Json->Stream(), run.Zm, run.Outcome, run.Error, run.Evacuation, run.RoomNames);
            outputs.Json->Commit();
        }
    } catch (const zf::project::OutputError& e) {
        failures.push_back(e.what());
    }
    try {
        if (outputs.Csv) {
            zf::project::WriteCsvFiles(*outputs.Csv, run.Zm, run.Outcome, run.Error);
            outputs.Csv->Commit();
        }
    } catch (const zf::project::OutputError& e) {
        failures.push_back(e.what());
    }
    return failures;
}

}  // namespace zfcli
