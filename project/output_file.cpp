#include "output_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <stdio.h>  // renameat2, RENAME_EXCHANGE
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "printable_text.h"
#include "project/file_text.h"

namespace fs = std::filesystem;

namespace zf::project {

namespace {

[[noreturn]] void Throw(const fs::path& path, std::string_view what, int err) {
    throw OutputError(WriteFailure{path, std::string(what), err});
}

// Permissions a newly created file or folder gets from the process's umask: `full` (0666 for
// a file, 0777 for a folder) less the umask's bits. The umask is read from /proc rather than
// set and restored, which another thread could observe.
mode_t CreatedMode(mode_t full) {
    static const mode_t mask = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("Umask:", 0) == 0) return static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
        const mode_t m = ::umask(022);
        ::umask(m);
        return m;
    }();
    return full & ~mask;
}

// A temporary name beside `target`: ".<name>.tmp-XXXXXX". A long name is cut (at a character
// boundary) so the temporary name stays within the 255-byte limit of a file name.
std::string TemporaryPattern(const fs::path& target) {
    std::string name = target.filename().string();
    constexpr std::size_t kKeep = 200;
    if (name.size() > kKeep) {
        std::size_t cut = kKeep;
        while (cut > 0 && zf::project::IsUtf8Continuation(name[cut])) --cut;
        name.resize(cut);
    }
    return (target.parent_path() / ("." + name + ".tmp-XXXXXX")).string();
}

void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);  // the rename reaches the disk; a failure here leaves the file itself intact
    ::close(fd);
}

}  // namespace

std::string WriteFailureMessage(const WriteFailure& failure) {
    std::string message = PrintableText(failure.Path.string()) + ": " + failure.What;
    if (failure.Error != 0) message += std::string(": ") + std::strerror(failure.Error);
    return message;
}

int WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return errno;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return 0;
}

// ---- FdOutputStream -------------------------------------------------------------------------

class FdOutputStream::Buffer final : public std::streambuf {
public:
    explicit Buffer(int fd) : fd_(fd) { setp(data_.data(), data_.data() + data_.size()); }
    int Error() const { return error_; }
    bool Drain() {
        const std::string_view pending(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(data_.data(), data_.data() + data_.size());
        if (error_ == 0) error_ = WriteAll(fd_, pending);
        return error_ == 0;
    }

protected:
    int_type overflow(int_type ch) override {
        if (!Drain()) return traits_type::eof();
        if (!traits_type::eq_int_type(ch, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(ch);
            pbump(1);
        }
        return traits_type::not_eof(ch);
    }
    int sync() override { return Drain() ? 0 : -1; }

private:
    int fd_;
    int error_ = 0;
    std::array<char, 1 << 16> data_{};
};

FdOutputStream::FdOutputStream(int fd) : std::ostream(nullptr), buffer_(std::make_unique<Buffer>(fd)) {
    rdbuf(buffer_.get());
}

FdOutputStream::~FdOutputStream() = default;

int FdOutputStream::Finish() {
    flush();
    buffer_->Drain();
    return buffer_->Error();
}

// ---- ResolveOutputPath ----------------------------------------------------------------------

fs::path ResolveOutputPath(const fs::path& path) {
    std::error_code ec;
    fs::path p = fs::absolute(path, ec);
    if (ec) Throw(path, "не удалось определить путь", ec.value());
    if (!p.has_filename()) p = p.parent_path();  // "out/" names the folder "out"
    // Follow links in the last component; 40 as the system's own limit on nested links.
    for (int hop = 0; hop <= 40; ++hop) {
        const fs::path folder = fs::canonical(p.parent_path(), ec);
        if (ec) Throw(path, "не найден каталог " + PrintableText(p.parent_path().string()), ec.value());
        const fs::path name = p.filename();
        if (name == "." || name == "..") {
            p = fs::canonical(folder / name, ec);
            if (ec) Throw(path, "не удалось определить путь", ec.value());
            return p;
        }
        p = folder / name;
        struct stat st {};
        if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return p;
        const fs::path link = fs::read_symlink(p, ec);
        if (ec) Throw(path, "не удалось прочитать символическую ссылку", ec.value());
        p = link.is_absolute() ? link : folder / link;
    }
    Throw(path, "слишком много символических ссылок", ELOOP);
}

// ---- AtomicFile -----------------------------------------------------------------------------

AtomicFile::AtomicFile(const fs::path& target) : target_(target) {
    // A device or a pipe is written where it is: renaming over /dev/null would replace it.
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0 && !S_ISREG(st.st_mode) && !S_ISDIR(st.st_mode)) {
        direct_ = true;
        resolved_ = target;
        fd_ = ::open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd_ < 0) Throw(target, "не удалось открыть для записи", errno);
        stream_ = std::make_unique<FdOutputStream>(fd_);
        return;
    }
    resolved_ = ResolveOutputPath(target);
    if (::stat(resolved_.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) Throw(target, "это каталог, а нужен файл", 0);
        mode_ = st.st_mode & 07777;
        // Replacing needs no write permission on the file itself; refuse as writing in place would.
        if (::access(resolved_.c_str(), W_OK) != 0) Throw(target, "нет права записи в файл", errno);
    } else {
        mode_ = CreatedMode(0666);
    }
    std::string pattern = TemporaryPattern(resolved_);
    fd_ = ::mkostemp(pattern.data(), O_CLOEXEC);
    if (fd_ < 0) Throw(target, "не удалось создать файл в каталоге " + PrintableText(resolved_.parent_path().string()), errno);
    temporary_ = pattern;
    stream_ = std::make_unique<FdOutputStream>(fd_);
}

AtomicFile::~AtomicFile() { Discard(); }

std::ostream& AtomicFile::Stream() { return *stream_; }

void AtomicFile::Discard() {
    stream_.reset();
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
}

void AtomicFile::Commit() {
    if (!stream_) Throw(target_, "файл уже записан", 0);
    if (const int err = stream_->Finish()) {
        Discard();
        Throw(target_, "не удалось записать", err);
    }
    if (direct_) {
        stream_.reset();
        const int closed = ::close(fd_);
        fd_ = -1;
        if (closed != 0 && errno != EINTR) Throw(target_, "не удалось записать", errno);
        return;
    }
    int err = 0;
    if (::fchmod(fd_, mode_) != 0) err = errno;
    if (err == 0 && ::fsync(fd_) != 0) err = errno;
    if (err != 0) {
        Discard();
        Throw(target_, "не удалось записать", err);
    }
    stream_.reset();
    const int closed = ::close(fd_);
    fd_ = -1;
    if (closed != 0 && errno != EINTR) {
        err = errno;
        Discard();
        Throw(target_, "не удалось записать", err);
    }
    if (::rename(temporary_.c_str(), resolved_.c_str()) != 0) {
        err = errno;
        Discard();
        Throw(target_, "не удалось заменить файл", err);
    }
    temporary_.clear();
    SyncFolder(resolved_.parent_path());
}

// ---- AtomicFolder ---------------------------------------------------------------------------

namespace {

// Names in the folder open as `fd` (without "." and ".."). Throws on a read error.
std::vector<std::string> FolderNames(int fd, const fs::path& path) {
    const int own = ::dup(fd);
    DIR* dir = own >= 0 ? ::fdopendir(own) : nullptr;
    if (dir == nullptr) {
        const int err = errno;
        if (own >= 0) ::close(own);
        Throw(path, "не удалось прочитать каталог", err);
    }
    ::rewinddir(dir);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name = entry->d_name;
        if (name != "." && name != "..") names.emplace_back(name);
    }
    const int err = errno;
    ::closedir(dir);
    if (err != 0) Throw(path, "не удалось прочитать каталог", err);
    return names;
}

}  // namespace

AtomicFolder::AtomicFolder(const fs::path& target, std::function<bool(std::string_view)> ours)
    : target_(target), ours_(std::move(ours)) {
    resolved_ = ResolveOutputPath(target);
    struct stat st {};
    if (::stat(resolved_.c_str(), &st) == 0) {
        if (!S_ISDIR(st.st_mode)) Throw(target, "это не каталог", 0);
        existed_ = true;
        mode_ = st.st_mode & 07777;
        const int fd = ::open(resolved_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) Throw(target, "не удалось открыть каталог", errno);
        std::vector<std::string> names;
        try {
            names = FolderNames(fd, target);
        } catch (...) {
            ::close(fd);
            throw;
        }
        for (const std::string& name : names) {
            struct stat entry {};
            const bool file = ::fstatat(fd, name.c_str(), &entry, AT_SYMLINK_NOFOLLOW) == 0 &&
                              (S_ISREG(entry.st_mode) || S_ISLNK(entry.st_mode));
            if (!file || !ours_(name)) {
                ::close(fd);
                Throw(target,
                      "в каталоге есть посторонний файл «" + PrintableText(name) +
                          "»; каталог результатов заменяется целиком, поэтому задайте новый или пустой каталог",
                      0);
            }
        }
        ::close(fd);
    } else {
        mode_ = CreatedMode(0777);
    }
    std::string pattern = TemporaryPattern(resolved_);
    if (::mkdtemp(pattern.data()) == nullptr)
        Throw(target, "не удалось создать каталог в " + PrintableText(resolved_.parent_path().string()), errno);
    temporary_ = pattern;
    dirFd_ = ::open(temporary_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (dirFd_ < 0) {
        const int err = errno;
        Discard();
        Throw(target, "не удалось открыть созданный каталог", err);
    }
}

AtomicFolder::~AtomicFolder() { Discard(); }

void AtomicFolder::Discard() {
    if (!temporary_.empty()) {
        // Only what this object wrote is removed; the folder is private (mode 0700) until swapped.
        for (const std::string& name : written_) ::unlinkat(dirFd_, name.c_str(), 0);
        ::rmdir(temporary_.c_str());
        temporary_.clear();
    }
    written_.clear();
    if (dirFd_ >= 0) ::close(dirFd_);
    dirFd_ = -1;
}

void AtomicFolder::WriteFile(const std::string& name, const std::function<void(std::ostream&)>& write) {
    const fs::path shown = target_ / name;
    if (temporary_.empty()) Throw(shown, "каталог уже записан", 0);
    if (!ours_(name) || name.find('/') != std::string::npos) Throw(shown, "недопустимое имя файла", EINVAL);
    // O_EXCL: always a new file, never an existing one or the target of a link.
    const int fd = ::openat(dirFd_, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) Throw(shown, "не удалось создать файл", errno);
    written_.push_back(name);
    int err = 0;
    try {
        FdOutputStream out(fd);
        write(out);
        err = out.Finish();
    } catch (...) {
        ::close(fd);  // `write` ran out of memory, say: the folder is discarded with its files
        throw;
    }
    if (err == 0 && ::fsync(fd) != 0) err = errno;
    if (::close(fd) != 0 && err == 0 && errno != EINTR) err = errno;
    if (err != 0) Throw(shown, "не удалось записать", err);
}

void AtomicFolder::Commit() {
    if (temporary_.empty()) Throw(target_, "каталог уже записан", 0);
    auto fail = [&](std::string_view what, int err) {
        Discard();
        Throw(target_, what, err);
    };
    if (::fsync(dirFd_) != 0) fail("не удалось записать каталог", errno);
    if (::fchmod(dirFd_, mode_) != 0) fail("не удалось задать права каталога", errno);

    // A folder that is not there yet is simply renamed into place. If one is there (or has
    // appeared since, from a run started at the same time), the two are exchanged in one step,
    // so the target always holds one whole run's files.
    if (::rename(temporary_.c_str(), resolved_.c_str()) == 0) {
        temporary_.clear();
    } else if (errno != EEXIST && errno != ENOTEMPTY) {
        fail("не удалось переименовать каталог", errno);
    } else if (::renameat2(AT_FDCWD, temporary_.c_str(), AT_FDCWD, resolved_.c_str(), RENAME_EXCHANGE) != 0) {
        fail("не удалось заменить каталог", errno);
    } else {
        // The old folder now has the temporary name: remove its files (unlinking a link, never
        // what it points to) and the folder. Anything else put there meanwhile stays, hidden.
        const int oldFd = ::open(temporary_.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (oldFd >= 0) {
            try {
                for (const std::string& name : FolderNames(oldFd, temporary_))
                    if (ours_(name)) ::unlinkat(oldFd, name.c_str(), 0);
            } catch (const OutputError&) {
                // The new folder is in place; an unreadable old one only stays behind.
            }
            ::close(oldFd);
        }
        ::rmdir(temporary_.c_str());
        temporary_.clear();
    }
    written_.clear();
    ::close(dirFd_);
    dirFd_ = -1;
    SyncFolder(resolved_.parent_path());
}

}  // namespace zf::project
