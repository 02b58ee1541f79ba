#include "platform/AtomicFile.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <fcntl.h>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"

namespace fs = std::filesystem;

namespace mirolanda::platform {
namespace {

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int Get() const { return fd_; }
    int Release() {
        int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_;
};

fs::path ParentOf(const fs::path& path) {
    fs::path parent = path.parent_path();
    return parent.empty() ? fs::path(".") : parent;
}

// Creates a new temporary file beside `target` and writes the bytes; returns its path and
// leaves the open descriptor in `fdOut` (caller closes).
fs::path WriteTemporary(const fs::path& target, std::string_view bytes, int& fdOut) {
    std::string pattern = (ParentOf(target) / ("." + target.filename().string() + ".XXXXXX")).string();
    int fd = ::mkstemp(pattern.data());
    if (fd < 0) throw FileError(target, "一時ファイルを作成できません(" + ErrnoText(errno) + ")");
    Fd guard(fd);
    fs::path temp(pattern);
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            int err = errno;
            ::unlink(temp.c_str());
            throw FileError(target, "ファイルを書き込めません(" + ErrnoText(err) + ")");
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    ::fchmod(fd, 0644);
    fdOut = guard.Release();
    return temp;
}

void SyncFolder(const fs::path& folder) {
    int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

void RenameOver(const fs::path& temp, const fs::path& target) {
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        throw FileError(target, "ファイルを置き換えられません(" + ErrnoText(err) + ")");
    }
}

}  // namespace

void EnsureFolder(const fs::path& folder) {
    std::error_code ec;
    if (fs::is_directory(folder, ec)) return;
    if (!fs::create_directories(folder, ec) && !fs::is_directory(folder, ec)) {
        if (!ec) ec = std::make_error_code(std::errc::not_a_directory);
        throw FileError(folder, "フォルダを作成できません(" + ec.message() + ")");
    }
}

size_t RemoveStaleTemporaries(const fs::path& folder, const std::function<bool(std::string_view name)>& owns,
                              std::chrono::seconds age) {
    constexpr size_t kSuffix = 7;  // "." and mkstemp's six letters and digits
    std::error_code ec;
    fs::directory_iterator it(folder, ec);
    if (ec) return 0;
    const auto cutoff = fs::file_time_type::clock::now() - age;
    size_t removed = 0;
    for (const fs::directory_entry& entry : it) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= kSuffix + 1 || name[0] != '.' || name[name.size() - kSuffix] != '.') continue;
        const std::string_view tail = std::string_view(name).substr(name.size() - kSuffix + 1);
        if (!std::all_of(tail.begin(), tail.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); }))
            continue;
        if (!owns(std::string_view(name).substr(1, name.size() - kSuffix - 1))) continue;
        // Only plain files of our own making: never follow a link or touch a folder.
        if (!entry.is_regular_file(ec) || entry.is_symlink(ec)) continue;
        const auto written = entry.last_write_time(ec);
        if (ec || (age.count() > 0 && written > cutoff)) continue;
        if (fs::remove(entry.path(), ec)) ++removed;
    }
    return removed;
}

void ReplaceFile(const fs::path& path, std::string_view bytes) {
    int fd = -1;
    fs::path temp = WriteTemporary(path, bytes, fd);
    Fd guard(fd);
    if (::fsync(fd) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        throw FileError(path, "ファイルを書き込めません(" + ErrnoText(err) + ")");
    }
    RenameOver(temp, path);
    SyncFolder(ParentOf(path));
}

FileBatch::~FileBatch() {
    for (const auto& s : staged_) ::unlink(s.temp.c_str());
}

void FileBatch::Stage(const fs::path& path, std::string_view bytes) {
    int fd = -1;
    fs::path temp = WriteTemporary(path, bytes, fd);
    ::close(fd);
    staged_.push_back({std::move(temp), path});
}

void FileBatch::Commit() {
    if (staged_.empty()) return;
    // One flush of the whole file system makes every staged file durable before any rename.
    {
        int fd = ::open(ParentOf(staged_.front().target).c_str(), O_RDONLY | O_DIRECTORY);
        if (fd >= 0) {
            ::syncfs(fd);
            ::close(fd);
        } else {
            ::sync();
        }
    }
    std::set<fs::path> folders;
    std::vector<Staged> staged = std::move(staged_);
    staged_.clear();
    for (size_t i = 0; i < staged.size(); ++i) {
        try {
            RenameOver(staged[i].temp, staged[i].target);
        } catch (...) {
            for (size_t j = i + 1; j < staged.size(); ++j) ::unlink(staged[j].temp.c_str());
            throw;
        }
        folders.insert(ParentOf(staged[i].target));
    }
    for (const auto& folder : folders) SyncFolder(folder);
}

}  // namespace mirolanda::platform
