#pragma once
// Reading the scenario text from a file or the standard input, with a bound: a real scenario is
// a few kilobytes, so an endless source (/dev/zero, `yes |`) or a wrong file is refused after a
// fixed amount instead of filling the memory.

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>

#include "project/document.h"

namespace zf::project {

// The input could not be read or is refused. what(): why, without the file name (the caller
// prints it in front).
class InputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// As much as the scenario reader accepts (16 MiB): more is refused without being read whole.
inline constexpr std::size_t kMaxInputBytes = zf::project::kMaxTextBytes;

// The whole of `path` ("-": the standard input). Throws InputError when it cannot be opened or
// read, is a folder, or holds more than `limit` bytes (reading stops just past the limit).
// `what` names the file in the messages: "файл сценария", "файл исследования".
std::string ReadInputText(const std::string& path, std::size_t limit = kMaxInputBytes,
                          std::string_view what = "файл сценария");

}  // namespace zf::project
