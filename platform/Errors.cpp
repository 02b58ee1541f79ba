#include "platform/Errors.h"

#include <cstring>

namespace mirolanda::platform {

FileError::FileError(std::filesystem::path path, const std::string& what)
    : Error(what + ": " + path.string()), path_(std::move(path)), reason_(what) {}

FormatError::FormatError(std::filesystem::path path, int line, const std::string& what)
    : Error(path.string() + (line > 0 ? " " + std::to_string(line) + "行目" : std::string()) + ": " + what),
      path_(std::move(path)),
      line_(line),
      reason_(what) {}

std::string ErrnoText(int err) {
    return std::strerror(err);
}

}  // namespace mirolanda::platform
