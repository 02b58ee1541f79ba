// Where the program's files live: the program folder (the executable's folder when it is
// writable, else the per-user data folder) and the five configurable folders under it.
#pragma once

#include <filesystem>
#include <string>

namespace mirolanda::platform {

// The folder that holds the running executable.
std::filesystem::path ExecutableFolder();

// The executable's folder when writable (a portable install), otherwise
// $XDG_DATA_HOME/Mirolanda (default ~/.local/share/Mirolanda).
std::filesystem::path ProgramFolder(const std::filesystem::path& executableFolder);

// The folder set the commands work in; each default is a sub-folder of the program folder.
struct Folders {
    std::filesystem::path Temp;       // "TemporaryFolder"
    std::filesystem::path CsvData;    // "CsvDataFolder"
    std::filesystem::path StockData;  // "StockDataFolder"
    std::filesystem::path Omake;      // "OmakeDataFolder"
    std::filesystem::path Setting;    // "SettingFolder"
};

Folders DefaultFolders(const std::filesystem::path& programFolder);

// "Calender.txt" lives in the program folder, not in the configurable folders.
std::filesystem::path CalenderFile(const std::filesystem::path& programFolder);

}  // namespace mirolanda::platform
