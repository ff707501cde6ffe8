#pragma once
// A study's output folder: what it holds, who uses it, and its files written whole.
//
// The folder holds study.json (the study with its base written in and the program's version),
// runs.csv (one row per run, in run order), summary.json and summary.txt (over the rows of
// runs.csv), and study.lock, which a study, a resume or a merge holds locked while it works
// (a lock of the system's, released on any exit, a kill included). Every file is replaced whole
// (written beside, then renamed). runs.csv is rewritten as runs finish, streamed from the old
// one with the new rows slotted in, so no step keeps the whole table in memory.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "study_file.h"
#include "study_table.h"

namespace zfcli::study {

// The program's version as the build names it, written into every output folder's study.json.
std::string ProgramVersion();

// The names a study writes into its folder.
inline constexpr const char* kStudyJson = "study.json";
inline constexpr const char* kRunsCsv = "runs.csv";
inline constexpr const char* kSummaryJson = "summary.json";
inline constexpr const char* kSummaryText = "summary.txt";
inline constexpr const char* kLockFile = "study.lock";

struct Folder {
    std::filesystem::path Dir;
    std::filesystem::path File(const char* name) const { return Dir / name; }
};

// The lock of a folder in use, held until destroyed (or the process ends, however it ends).
class FolderLock {
public:
    FolderLock() = default;
    FolderLock(FolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    FolderLock& operator=(FolderLock&& other) noexcept;
    ~FolderLock();
    // Takes the folder for writing: creates its study.lock when missing and locks it without
    // waiting. Returns the refusal, naming the folder, when another study, resume or merge
    // holds it.
    std::optional<std::string> Take(const Folder& folder);
    // Makes sure nobody writes the folder while it is read (a shard being merged): a shared
    // lock on its study.lock, when it has one.
    std::optional<std::string> Share(const Folder& folder);

private:
    std::optional<std::string> Lock(const Folder& folder, bool exclusive);
    int fd_ = -1;
};

// study.json of an output folder: the study's canonical text with the program's version.
std::string FolderStudyText(const Study& study);

// What a folder holds of a study.
struct FolderContents {
    bool HasResults = false;         // study.json of this very study (and maybe its rows)
    std::uint64_t Rows = 0;          // rows of runs.csv
    std::optional<std::string> Foreign;  // why the folder is not this study's: names the file
};

// Looks at the folder's study files without changing anything: each present one must be a
// regular file, study.json must be this study's as written by this version, and runs.csv
// must read as this study's table. Anything else is "foreign", with the file named.
FolderContents InspectFolder(const Folder& folder, const Study& study);

// The study an output folder holds (study.json read back, its version checked against
// `version` when given). Returns the refusal naming the file.
std::optional<std::string> LoadFolderStudy(const Folder& folder, Study& study, std::string* version = nullptr);

// Marks the runs of [first, last] that the folder's runs.csv holds; refuses a row outside.
std::optional<std::string> DoneRuns(const Folder& folder, const Study& study, std::uint64_t first, std::uint64_t last,
                                    std::vector<bool>& done, std::uint64_t& count);

// Rewrites runs.csv with the rows of `fresh` slotted into the old one in run order (a row of
// the same run replaces the old). Returns why it failed.
std::optional<std::string> WriteRunsCsv(const Folder& folder, const Study& study, const std::map<std::uint64_t, RunRow>& fresh);

// The summary's data of runs.csv as it stands, a row at a time. Returns why it could not be read.
std::optional<std::string> ReadSummaryData(const Folder& folder, const Study& study, SummaryData& data);

// Writes summary.json and summary.txt from runs.csv as it stands.
std::optional<std::string> WriteSummaries(const Folder& folder, const Study& study, const Share& share);

// Removes an old summary, so a study that is then killed leaves none that looks current.
std::optional<std::string> RemoveSummaries(const Folder& folder);

// Replaces `path` with `text` whole. Returns why it failed.
std::optional<std::string> WriteFileWhole(const std::filesystem::path& path, const std::string& text);

// A whole text file of at most 16 MB (a study file, study.json). Returns why it failed.
std::optional<std::string> ReadSmallFile(const std::filesystem::path& path, std::string& text);

}  // namespace zfcli::study
