// A scratch folder for one test, removed when the test ends.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace mirolanda::testing {

class TempFolder {
public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

// Whole-file helpers for assertions.
std::string ReadAll(const std::filesystem::path& path);
void WriteAll(const std::filesystem::path& path, std::string_view bytes);

}  // namespace mirolanda::testing
