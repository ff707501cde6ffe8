#pragma once
// Files and folders for the runner's tests: whole-file reads and writes, a temporary folder
// removed afterwards, and a folder's contents to compare before and after a run.

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace zftest {

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Standard error without the warnings of values that look like a slip ("<file>: предупреждение:
// ..." lines), for the tests of other messages run on buildings that draw one (the two-room
// example has no opening to the outside).
inline std::string WithoutWarnings(const std::string& err) {
    std::string kept;
    for (std::size_t at = 0; at < err.size();) {
        const std::size_t end = std::min(err.find('\n', at), err.size() - 1) + 1;
        const std::string line = err.substr(at, end - at);
        if (line.find(": предупреждение: ") == std::string::npos) kept += line;
        at = end;
    }
    return kept;
}

inline void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

class TempDir {
public:
    TempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zonefire-cli-test-XXXXXX").string();
        path_ = mkdtemp(pattern.data());
    }
    ~TempDir() { std::filesystem::remove_all(path_); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& Path() const { return path_; }

private:
    std::filesystem::path path_;
};

// Every entry under `root` (hidden ones too) with its contents: a file's bytes, "-> target"
// for a link, "<dir>" for a folder. Two equal snapshots mean nothing was added, removed or
// changed.
inline std::map<std::string, std::string> Snapshot(const std::filesystem::path& root) {
    namespace fs = std::filesystem;
    std::map<std::string, std::string> entries;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string name = fs::relative(entry.path(), root).string();
        if (entry.is_symlink()) entries[name] = "-> " + fs::read_symlink(entry.path()).string();
        else if (entry.is_directory()) entries[name] = "<dir>";
        else entries[name] = ReadFile(entry.path());
    }
    return entries;
}

}  // namespace zftest
