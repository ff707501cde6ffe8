#include "input_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string_view>

namespace zf::project {

namespace {

std::string Reason(std::string_view what, int err) { return std::string(what) + ": " + std::strerror(err); }

std::string TooLarge(std::size_t limit) {
    return "размер больше " + std::to_string(limit >> 20) +
           " МБ; настоящий файл занимает несколько килобайт — проверьте, тот ли это файл";
}

}  // namespace

std::string ReadInputText(const std::string& path, std::size_t limit, std::string_view what) {
    const std::string noun(what);
    const bool standardInput = path == "-";
    const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) throw InputError(Reason("не удалось открыть " + noun, errno));
    struct Closer {
        int fd;
        bool own;
        ~Closer() {
            if (own) ::close(fd);
        }
    } closer{fd, !standardInput};

    struct stat st {};
    if (::fstat(fd, &st) == 0) {
        if (S_ISDIR(st.st_mode)) throw InputError("не удалось прочитать " + noun + ": это каталог");
        // A regular file's size is known: refuse it without reading.
        if (S_ISREG(st.st_mode) && static_cast<std::size_t>(st.st_size) > limit) throw InputError(TooLarge(limit));
    }
    std::string text;
    char chunk[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            throw InputError(Reason("не удалось прочитать " + noun, errno));
        }
        // At most one chunk past the limit is ever held.
        if (text.size() + static_cast<std::size_t>(n) > limit) throw InputError(TooLarge(limit));
        text.append(chunk, static_cast<std::size_t>(n));
    }
    return text;
}

}  // namespace zf::project
