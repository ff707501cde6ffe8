// A study's output folder: its lock, what it holds, and its files written whole.

#include "study_folder.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>

#include "input_text.h"
#include "output_file.h"
#include "printable_text.h"
#include "project/strict_json.h"

#ifndef ZONEFIRE_VERSION
#define ZONEFIRE_VERSION "unknown"
#endif

namespace zfcli::study {
namespace {

constexpr const char* kVersionKey = "zonefire_version";

std::string Shown(const std::filesystem::path& path) { return zf::project::PrintableText(path.string()); }

// The rows of the folder's runs.csv, each handed to `take`; false from `take` stops early.
// Returns why the table could not be read (a missing file reads as no rows).
template <class Take>
std::optional<std::string> EachRow(const Folder& folder, const Study& study, Take take) {
    std::ifstream in(folder.File(kRunsCsv), std::ios::binary);
    if (!in) {
        if (errno == ENOENT) return std::nullopt;
        return std::string(kRunsCsv) + ": не удалось открыть файл: " + std::strerror(errno);
    }
    RunsCsvReader reader(study, in);
    if (!reader.Start()) return std::string(kRunsCsv) + ", " + *reader.Error();
    for (RunRow row; reader.Next(row);)
        if (auto refused = take(row)) return refused;
    if (reader.Error()) return std::string(kRunsCsv) + ", " + *reader.Error();
    return std::nullopt;
}

}  // namespace

std::string ProgramVersion() { return ZONEFIRE_VERSION; }

// ---- The lock -------------------------------------------------------------------------------

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);  // the lock goes with the descriptor
}

std::optional<std::string> FolderLock::Take(const Folder& folder) { return Lock(folder, true); }
std::optional<std::string> FolderLock::Share(const Folder& folder) { return Lock(folder, false); }

std::optional<std::string> FolderLock::Lock(const Folder& folder, bool exclusive) {
    const std::filesystem::path file = folder.File(kLockFile);
    const int fd = exclusive ? ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666)
                             : ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) {
        if (!exclusive && errno == ENOENT) return std::nullopt;  // no study ever wrote there
        return Shown(file) + ": не удалось открыть файл занятости: " + std::strerror(errno);
    }
    if (::flock(fd, (exclusive ? LOCK_EX : LOCK_SH) | LOCK_NB) != 0) {
        const int err = errno;
        ::close(fd);
        if (err == EWOULDBLOCK)
            return "каталог " + Shown(folder.Dir) +
                   " занят: в нем сейчас идет другое исследование, его продолжение или объединение (zonefire-cli); "
                   "дождитесь его окончания или задайте другой каталог";
        return Shown(file) + ": не удалось заблокировать файл: " + std::strerror(err);
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    return std::nullopt;
}

// ---- What the folder holds ------------------------------------------------------------------

std::string FolderStudyText(const Study& study) {
    nlohmann::json text = nlohmann::json::parse(study.Canonical);
    text[kVersionKey] = ProgramVersion();
    return text.dump(2) + "\n";
}

std::optional<std::string> LoadFolderStudy(const Folder& folder, Study& study, std::string* version) {
    std::string text;
    if (auto bad = ReadSmallFile(folder.File(kStudyJson), text)) return std::string(kStudyJson) + ": " + *bad;
    if (auto bad = ReadStudy(text, folder.Dir, study)) return std::string(kStudyJson) + ": " + *bad;
    if (version) {
        const nlohmann::json top = zf::project::ParseStrictJson(text);  // read above without a refusal
        const auto it = top.find(kVersionKey);
        *version = it != top.end() && it->is_string() ? it->get<std::string>() : std::string("неизвестной");
    }
    return std::nullopt;
}

FolderContents InspectFolder(const Folder& folder, const Study& study) {
    FolderContents contents;
    const char* present = nullptr;  // the first study file there
    for (const char* name : {kStudyJson, kRunsCsv, kSummaryJson, kSummaryText}) {
        struct stat st {};
        if (::lstat(folder.File(name).c_str(), &st) != 0) continue;
        if (!S_ISREG(st.st_mode)) {
            contents.Foreign = Shown(folder.File(name)) +
                               ": это не файл результатов исследования (каталог, ссылка или устройство); "
                               "исследование не заменяет того, что не записывало, — задайте другой каталог";
            return contents;
        }
        if (!present) present = name;
    }
    if (!present) return contents;
    const std::string foreign = " — исследование не заменяет файлов, которых не записывало; задайте другой каталог";
    if (std::string(present) != kStudyJson) {
        contents.Foreign = Shown(folder.File(present)) + ": в каталоге нет study.json, значит, файл записан не этим исследованием" + foreign;
        return contents;
    }
    Study previous;
    std::string version;
    if (auto bad = LoadFolderStudy(folder, previous, &version)) {
        contents.Foreign = Shown(folder.Dir) + ": " + *bad + foreign;
    } else if (previous.Canonical != study.Canonical) {
        contents.Foreign = Shown(folder.File(kStudyJson)) + ": в каталоге результаты другого исследования" + foreign;
    } else if (version != ProgramVersion()) {
        contents.Foreign = Shown(folder.File(kStudyJson)) + ": в каталоге результаты версии " + zf::project::PrintableText(version) +
                           " программы, а это версия " + ProgramVersion() + "; результаты разных версий не смешиваются" + foreign;
    } else if (auto bad = EachRow(folder, study, [&](const RunRow&) -> std::optional<std::string> {
                   ++contents.Rows;
                   return std::nullopt;
               })) {
        contents.Foreign = Shown(folder.Dir) + ": " + *bad + foreign;
    } else {
        contents.HasResults = true;
    }
    return contents;
}

std::optional<std::string> DoneRuns(const Folder& folder, const Study& study, std::uint64_t first, std::uint64_t last,
                                    std::vector<bool>& done, std::uint64_t& count) {
    done.assign(last + 1 - first, false);
    count = 0;
    return EachRow(folder, study, [&](const RunRow& row) -> std::optional<std::string> {
        if (row.Run < first || row.Run > last) return "в каталоге есть расчет №" + std::to_string(row.Run) + " другой доли";
        if (done[row.Run - first]) return "расчет №" + std::to_string(row.Run) + " записан в runs.csv дважды";
        done[row.Run - first] = true;
        ++count;
        return std::nullopt;
    });
}

// ---- Writing --------------------------------------------------------------------------------

std::optional<std::string> WriteRunsCsv(const Folder& folder, const Study& study, const std::map<std::uint64_t, RunRow>& fresh) {
    try {
        zf::project::AtomicFile file(folder.File(kRunsCsv));
        std::ostream& out = file.Stream();
        out << CsvHeader(study) << '\n';
        auto next = fresh.begin();
        auto flushBelow = [&](std::uint64_t run) {
            for (; next != fresh.end() && next->first < run; ++next) out << CsvRow(study, next->second);
        };
        auto failed = EachRow(folder, study, [&](const RunRow& old) -> std::optional<std::string> {
            flushBelow(old.Run);
            if (next != fresh.end() && next->first == old.Run) return std::nullopt;  // replaced by the fresh row
            out << CsvRow(study, old);
            return std::nullopt;
        });
        if (failed) return failed;
        flushBelow(study.Runs + 1);
        file.Commit();
    } catch (const zf::project::OutputError& e) {
        return e.what();
    }
    return std::nullopt;
}

std::optional<std::string> ReadSummaryData(const Folder& folder, const Study& study, SummaryData& data) {
    return EachRow(folder, study, [&](const RunRow& row) -> std::optional<std::string> {
        data.Add(row);
        return std::nullopt;
    });
}

std::optional<std::string> WriteSummaries(const Folder& folder, const Study& study, const Share& share) {
    SummaryData data(study);
    if (auto bad = ReadSummaryData(folder, study, data)) return bad;
    if (auto failed = WriteFileWhole(folder.File(kSummaryJson), SummaryJson(study, data, share))) return failed;
    return WriteFileWhole(folder.File(kSummaryText), SummaryText(study, data, share));
}

std::optional<std::string> RemoveSummaries(const Folder& folder) {
    for (const char* name : {kSummaryJson, kSummaryText})
        if (::unlink(folder.File(name).c_str()) != 0 && errno != ENOENT)
            return zf::project::WriteFailureMessage({folder.File(name), "не удалось удалить прежнюю сводку", errno});
    return std::nullopt;
}

std::optional<std::string> WriteFileWhole(const std::filesystem::path& path, const std::string& text) {
    // The runner's atomic file: a temporary file beside the target, synced and renamed over it.
    try {
        zf::project::AtomicFile file(path);
        file.Stream() << text;
        file.Commit();
    } catch (const zf::project::OutputError& e) {
        return e.what();
    }
    return std::nullopt;
}

std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::string& text) {
    try {
        text = zf::project::ReadInputText(path.string(), zf::project::kMaxInputBytes, "файл");
    } catch (const zf::project::InputError& e) {
        return e.what();
    }
    return std::nullopt;
}

}  // namespace zfcli::study
