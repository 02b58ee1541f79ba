// Where the program's files live: the program folder (the executable's folder in a portable
// install, else the per-user data folder), the five configurable folders under it, and the
// folder the Kodemorph library is loaded from.
#pragma once

#include <filesystem>
#include <string>

namespace mirolanda::platform {

// The folder that holds the running executable.
std::filesystem::path ExecutableFolder();

// Whether the executable lies in an installed layout: its private library folder
// (<prefix>/lib/<multiarch>/mirolanda beside <prefix>/bin) exists.
bool IsInstalledLayout(const std::filesystem::path& executableFolder);

// A portable install keeps its data beside the executable: a writable folder that is not an
// installed layout (the build tree, a folder copied to a USB stick). An installed program
// never writes beside itself, even when run as root or unpacked into a writable folder.
bool IsPortableFolder(const std::filesystem::path& executableFolder);

// $XDG_DATA_HOME/Mirolanda, else $HOME/.local/share/Mirolanda (either may be null or empty).
std::filesystem::path UserDataFolder(const char* xdgDataHome, const char* home);

// The executable's folder when portable, otherwise userDataFolder, created with its parents
// when missing: the folders under it are created one level at a time as they are written.
std::filesystem::path ProgramFolder(const std::filesystem::path& executableFolder,
                                    const std::filesystem::path& userDataFolder);
// The same with the user's data folder from the environment.
std::filesystem::path ProgramFolder(const std::filesystem::path& executableFolder);

// Where libkodemorph.so lies: the private library folder when installed, else beside the executable.
std::filesystem::path LibraryFolder(const std::filesystem::path& executableFolder);

// The folder set the commands work in; each default is a sub-folder of the program folder.
struct Folders {
    std::filesystem::path Temp;       // "TemporaryFolder"
    std::filesystem::path CsvData;    // "CsvDataFolder"
    std::filesystem::path StockData;  // "StockDataFolder"
    std::filesystem::path Omake;      // "OmakeDataFolder"
    std::filesystem::path Setting;    // "SettingFolder"
};

// "Calender.txt" lives in the program folder, not in the configurable folders.
std::filesystem::path CalenderFile(const std::filesystem::path& programFolder);

}  // namespace mirolanda::platform
