#pragma once
// Outputs that a reader never sees half-written. A file is written under a temporary name in
// its own folder and renamed over its target only once complete; a folder of files is built
// as a new temporary folder and swapped in whole. A failure at any point leaves the previous
// file or folder as it was. Standard library and POSIX only (no Qt), so every headless
// command can use it.
//
// Use:
//   project::AtomicFile json(path);      // before the work: checks the path, makes the temporary
//   ... WriteJson(json.Stream(), ...);
//   json.Commit();                     // flushes, syncs and renames; throws OutputError
//
// Errors: every failure throws OutputError, whose text names the path and says why (the
// system's reason, e.g. "No space left on device"). An object destroyed without Commit
// removes its temporary file or folder.

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace zf::project {

// A write that could not be finished, as every writer reports it: where, what it was doing
// and the system's reason.
struct WriteFailure {
    std::filesystem::path Path;  // the file, the folder or the stream ("стандартный вывод")
    std::string What;            // in Russian: "не удалось записать файл"
    int Error = 0;               // errno of the failure; 0 when the system gave none
};

// The one text of a write failure: "<path>: <what>: <strerror(Error)>", the path made safe
// to print (see PrintableText).
std::string WriteFailureMessage(const WriteFailure& failure);
inline std::string OutputMessage(const std::filesystem::path& path, std::string_view what, int err) {
    return WriteFailureMessage({path, std::string(what), err});
}

// An output could not be prepared or written. what() is WriteFailureMessage(Failure()); an
// output refused before anything was written (it would overwrite the input, say) carries its
// message alone and an empty Failure().
class OutputError : public std::runtime_error {
public:
    explicit OutputError(WriteFailure failure)
        : std::runtime_error(WriteFailureMessage(failure)), failure_(std::move(failure)) {}
    explicit OutputError(const std::string& refusal) : std::runtime_error(refusal) {}
    const WriteFailure& Failure() const { return failure_; }

private:
    WriteFailure failure_;
};

// Writes all of `text` to descriptor `fd`, resuming after partial and interrupted writes.
// Returns 0, or the errno of the failure (EPIPE for a closed pipe when SIGPIPE is ignored).
int WriteAll(int fd, std::string_view text);

// An ostream over a descriptor it does not own, with its own buffer, that keeps the errno of
// its first failed write (std::ofstream loses it).
class FdOutputStream final : public std::ostream {
public:
    explicit FdOutputStream(int fd);
    ~FdOutputStream() override;
    // Writes out the buffer; returns 0 or the errno of the first failed write.
    int Finish();

private:
    class Buffer;
    std::unique_ptr<Buffer> buffer_;
};

// Where an output really goes: `path` made absolute, its folder's symbolic links resolved and
// a symbolic link in its last component followed (so writing through a link replaces the
// file it points to, not the link). Throws OutputError when its folder does not exist.
std::filesystem::path ResolveOutputPath(const std::filesystem::path& path);

// One file replaced whole, or not at all.
class AtomicFile {
public:
    // Checks that `target` can be replaced (its folder exists and is writable, it is not a
    // folder) and creates the temporary file beside it. A target that exists but is not a
    // regular file (a device such as /dev/null, a named pipe) cannot be renamed over; it is
    // opened and written directly instead.
    explicit AtomicFile(const std::filesystem::path& target);
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    std::ostream& Stream();
    // Flushes, syncs to disk and renames the temporary file over the target, keeping an
    // existing target's permissions. On failure the temporary file is removed and the target
    // left as it was.
    void Commit();
    const std::filesystem::path& Target() const { return target_; }
    // The file that is replaced (symbolic links followed).
    const std::filesystem::path& ResolvedTarget() const { return resolved_; }
    // The temporary file until Commit (empty for a device or pipe written in place).
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

private:
    void Discard();

    std::filesystem::path target_, resolved_, temporary_;
    int fd_ = -1;
    bool direct_ = false;  // written in place (device, pipe), nothing to rename
    mode_t mode_ = 0;      // permissions the replacement gets
    std::unique_ptr<FdOutputStream> stream_;
};

// A folder whose files are replaced all together: the new files are written into a new
// temporary folder beside the target, which is then swapped in atomically and the old one
// removed. Files are always created new, so a symbolic link planted inside the old folder is
// never followed.
class AtomicFolder {
public:
    // `ours` says which names this output writes. An existing target may hold only files
    // (or links) with such names, all of them replaced; anything else there (a file the user
    // keeps, a subfolder) refuses the target, so nothing of the user's is ever deleted.
    AtomicFolder(const std::filesystem::path& target, std::function<bool(std::string_view name)> ours);
    ~AtomicFolder();
    AtomicFolder(const AtomicFolder&) = delete;
    AtomicFolder& operator=(const AtomicFolder&) = delete;

    // Creates file `name` (which `ours` must accept) in the new folder and lets `write` fill it.
    void WriteFile(const std::string& name, const std::function<void(std::ostream&)>& write);
    // Swaps the new folder in. On failure the temporary folder is removed and the target left
    // as it was.
    void Commit();
    const std::filesystem::path& Target() const { return target_; }
    const std::filesystem::path& ResolvedTarget() const { return resolved_; }
    // The temporary folder until Commit; it stays empty until the first WriteFile.
    const std::filesystem::path& TemporaryPath() const { return temporary_; }

private:
    void Discard();

    std::filesystem::path target_, resolved_, temporary_;
    std::function<bool(std::string_view)> ours_;
    int dirFd_ = -1;
    bool existed_ = false;
    mode_t mode_ = 0;
    std::vector<std::string> written_;
};

}  // namespace zf::project
