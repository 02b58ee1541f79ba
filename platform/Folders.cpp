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

fs::path ProgramFolder(const fs::path& executableFolder) {
    if (::access(executableFolder.c_str(), W_OK) == 0) return executableFolder;
    const char* dataHome = std::getenv("XDG_DATA_HOME");
    if (dataHome && *dataHome) return fs::path(dataHome) / "Mirolanda";
    const char* home = std::getenv("HOME");
    return fs::path(home && *home ? home : "/tmp") / ".local" / "share" / "Mirolanda";
}

Folders DefaultFolders(const fs::path& programFolder) {
    return Folders{programFolder / "Temp", programFolder / "CsvData", programFolder / "StockData",
                   programFolder / "Omake", programFolder / "Setting"};
}

fs::path CalenderFile(const fs::path& programFolder) {
    return programFolder / "Calender.txt";
}

}  // namespace mirolanda::platform
