// Typed errors of the domain code. Each carries the file or line it is about;
// the window shows what() in a message box, the command-line tool prints it on one line.
// Messages are Japanese, since they reach the user as they are.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace mirolanda::platform {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A file or folder could not be read, written, created or replaced.
class FileError : public Error {
public:
    FileError(std::filesystem::path path, const std::string& what);
    const std::filesystem::path& Path() const { return path_; }
    // What went wrong, without the path.
    const std::string& Reason() const { return reason_; }

private:
    std::filesystem::path path_;
    std::string reason_;
};

// A file's content is not in the form it must have. Line 0 means the file as a whole.
class FormatError : public Error {
public:
    FormatError(std::filesystem::path path, int line, const std::string& what);
    const std::filesystem::path& Path() const { return path_; }
    int Line() const { return line_; }
    // What is wrong, without the path and line.
    const std::string& Reason() const { return reason_; }

private:
    std::filesystem::path path_;
    int line_;
    std::string reason_;
};

// Text of the current errno, for FileError messages.
std::string ErrnoText(int err);

}  // namespace mirolanda::platform
