// Replacing user files so that a crash at any instant leaves the old file or the new one,
// never a mix: write beside the old file under a temporary name, flush, rename over it.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace mirolanda::platform {

// Creates the folder when it is missing, with every missing folder above it. Throws FileError
// naming the folder when the path cannot be made a folder.
void EnsureFolder(const std::filesystem::path& folder);

// The temporaries that a write killed half-way leaves behind: ".NAME.XXXXXX" beside NAME.
// Removes those in `folder` whose NAME `owns` accepts and that were last written more than
// `age` ago (a younger one may be another run's, still being written), or all of them at age 0
// (for a caller that holds the folder's writer lock, so that no other run can be writing);
// never anything else.
// Returns how many were removed; a folder that cannot be read removes nothing.
size_t RemoveStaleTemporaries(const std::filesystem::path& folder,
                              const std::function<bool(std::string_view name)>& owns,
                              std::chrono::seconds age = std::chrono::minutes(10));

// Replaces (or creates) one file with the bytes, durably. Throws FileError.
void ReplaceFile(const std::filesystem::path& path, std::string_view bytes);

// Replaces many files at once with one flush of the file system and one sync per folder,
// instead of one of each per file. Files are staged as temporaries; Commit renames them all
// over their targets. A batch destroyed without Commit removes its temporaries.
class FileBatch {
public:
    FileBatch() = default;
    ~FileBatch();
    FileBatch(const FileBatch&) = delete;
    FileBatch& operator=(const FileBatch&) = delete;

    // Writes the bytes to a temporary file beside `path`. Throws FileError.
    void Stage(const std::filesystem::path& path, std::string_view bytes);
    // Flushes the staged files, renames each over its target, syncs the folders. Throws FileError.
    void Commit();
    size_t Size() const { return staged_.size(); }

private:
    struct Staged {
        std::filesystem::path temp;
        std::filesystem::path target;
    };
    std::vector<Staged> staged_;
};

}  // namespace mirolanda::platform
