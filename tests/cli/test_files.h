#pragma once
// Files and folders for the runner's tests: whole-file reads and writes, a temporary folder
// removed afterwards, and a folder's contents to compare before and after a run.

#include <stdlib.h>

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
