// One writer at a time in the program folder. The window, its automatic download, the
// systemd timer's `mirolanda-cli download` and any `mirolanda-cli file` write the same history
// files, CSV files, holdings and holidays; each command that writes them holds this lock for
// as long as it writes, so that two of them never interleave and lose each other's days.
//
// The lock is `flock` on "Mirolanda.lock" in the program folder: the kernel releases it when
// the process ends, however it ends (a kill -9 leaves no stale lock). Readers never take it.
// Within one process two holders conflict as two processes do, so take it once per command,
// at the command's start, and never around a part of a command that holds it already.
//
//     platform::FolderLock lock = platform::FolderLock::Wait(programFolder, {.Timeout = 600s,
//                                                            .Waiting = [] { say "waiting" }});
//     ... write ...                      // released when `lock` goes out of scope
//
//     if (auto lock = platform::FolderLock::Try(programFolder)) { ... } else { try later }
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "platform/Errors.h"

namespace mirolanda::platform {

// What a writer that finds the folder locked tells the user (status line, stderr).
inline constexpr const char* kFolderBusyText = "他の処理がデータを書き込み中です。終わるのを待っています";

// Another writer kept the folder locked for the whole wait (or the wait was stopped);
// nothing was written.
class FolderBusy : public Error {
public:
    explicit FolderBusy(const std::filesystem::path& folder);
};

class FolderLock {
public:
    static constexpr const char* kFileName = "Mirolanda.lock";

    struct WaitOptions {
        std::chrono::milliseconds Timeout{std::chrono::minutes(10)};
        // Called once, on the waiting thread, when the lock is found held by another writer.
        std::function<void()> Waiting;
        // Asked while waiting; true gives up at once (FolderBusy), as a cancel does.
        std::function<bool()> Stop;
        // How often a held lock is asked again.
        std::chrono::milliseconds Poll{100};
    };

    // The lock at once, or nothing when another writer holds it. Makes the folder when it is
    // missing. Throws FileError when the folder cannot be made, or can neither hold the lock
    // file nor be opened.
    static std::optional<FolderLock> Try(const std::filesystem::path& folder);
    // The lock, waiting for another writer up to the timeout. Throws FolderBusy when the wait
    // ends without it, FileError as Try.
    static FolderLock Wait(const std::filesystem::path& folder, const WaitOptions& options);

    FolderLock(FolderLock&& other) noexcept;
    FolderLock& operator=(FolderLock&& other) noexcept;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

private:
    explicit FolderLock(int fd) : fd_(fd) {}
    int fd_ = -1;
};

}  // namespace mirolanda::platform
