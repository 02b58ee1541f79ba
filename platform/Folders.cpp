#include "platform/Folders.h"

#include <cstdlib>
#include <unistd.h>

namespace fs = std::filesystem;

namespace mirolanda::platform {

fs::path ExecutableFolder() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return fs::current_path();
    return exe.parent_path();
}

namespace {

// The private library folder relative to the executable's, fixed by the install layout at
// build time (e.g. "../lib/x86_64-linux-gnu/mirolanda").
fs::path InstalledLibraryFolder(const fs::path& executableFolder) {
    return (executableFolder / MIROLANDA_PRIVATE_LIBDIR).lexically_normal();
}

}  // namespace

bool IsInstalledLayout(const fs::path& executableFolder) {
    std::error_code ec;
    return fs::is_directory(InstalledLibraryFolder(executableFolder), ec);
}

bool IsPortableFolder(const fs::path& executableFolder) {
    return !IsInstalledLayout(executableFolder) && ::access(executableFolder.c_str(), W_OK) == 0;
}

fs::path UserDataFolder(const char* xdgDataHome, const char* home) {
    if (xdgDataHome && *xdgDataHome) return fs::path(xdgDataHome) / "Mirolanda";
    return fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "Mirolanda";
}

fs::path ProgramFolder(const fs::path& executableFolder, const fs::path& userDataFolder) {
    if (IsPortableFolder(executableFolder)) return executableFolder;
    // A folder that cannot be made shows up as the first write's error, naming the path.
    std::error_code ignored;
    fs::create_directories(userDataFolder, ignored);
    return userDataFolder;
}

fs::path ProgramFolder(const fs::path& executableFolder) {
    return ProgramFolder(executableFolder, UserDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME")));
}

fs::path LibraryFolder(const fs::path& executableFolder) {
    return IsInstalledLayout(executableFolder) ? InstalledLibraryFolder(executableFolder) : executableFolder;
}

fs::path CalenderFile(const fs::path& programFolder) {
    return programFolder / "Calender.txt";
}

}  // namespace mirolanda::platform
