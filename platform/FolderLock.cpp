#include "platform/FolderLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include "platform/AtomicFile.h"

namespace fs = std::filesystem;

namespace mirolanda::platform {
namespace {

// The lock file, created when missing. A folder where it cannot be created (read-only, or
// someone else's) is locked through the folder itself: flock works on a folder's descriptor too.
int OpenLockFile(const fs::path& folder) {
    EnsureFolder(folder);  // a program folder not made yet is made by its first writer
    int fd = ::open((folder / FolderLock::kFileName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd >= 0) return fd;
    const int err = errno;
    fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) return fd;
    throw FileError(folder / FolderLock::kFileName, "ロックファイルを開けません(" + ErrnoText(err) + ")");
}

// True when this descriptor now holds the lock; false when another one holds it.
bool TryLock(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR) continue;
        if (errno == EWOULDBLOCK) return false;
        const int err = errno;
        ::close(fd);
        throw Error("データフォルダをロックできません(" + ErrnoText(err) + ")");
    }
    return true;
}

}  // namespace

FolderBusy::FolderBusy(const fs::path& folder) : Error("他の処理がデータを書き込み中です: " + folder.string()) {}

std::optional<FolderLock> FolderLock::Try(const fs::path& folder) {
    const int fd = OpenLockFile(folder);
    if (TryLock(fd)) return FolderLock(fd);
    ::close(fd);
    return std::nullopt;
}

FolderLock FolderLock::Wait(const fs::path& folder, const WaitOptions& options) {
    const int fd = OpenLockFile(folder);
    if (TryLock(fd)) return FolderLock(fd);
    if (options.Waiting) options.Waiting();
    const auto deadline = std::chrono::steady_clock::now() + options.Timeout;
    for (;;) {
        if ((options.Stop && options.Stop()) || std::chrono::steady_clock::now() >= deadline) {
            ::close(fd);
            throw FolderBusy(folder);
        }
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            options.Poll, std::max<std::chrono::steady_clock::duration>(deadline - std::chrono::steady_clock::now(), {})));
        if (TryLock(fd)) return FolderLock(fd);
    }
}

FolderLock::FolderLock(FolderLock&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) ::close(fd_);
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

// Closing the only descriptor of the open file releases the lock.
FolderLock::~FolderLock() {
    if (fd_ >= 0) ::close(fd_);
}

}  // namespace mirolanda::platform
