// What every sub-command of mirolanda-cli is given: the program folder, the folder set and
// the other settings as the settings file holds them, and the clock.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Date.h"
#include "platform/Folders.h"

namespace mirolanda::cli {

class SettingsFile;

struct CliContext {
    std::filesystem::path programFolder;
    platform::Folders folders;
    std::unique_ptr<platform::Clock> clock;
    std::shared_ptr<SettingsFile> settings;

    // The stored value of a key of the settings key table, or its default.
    std::string Setting(std::string_view key) const;
    // A check box key's state, read as the window reads it.
    bool Checked(std::string_view key) const;
    void SetSetting(std::string_view key, const std::string& value) const;
};

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;  // printed by --help: the first line is the synopsis
    int (*run)(CliContext& context, const Args& args);
};

// Thrown by a command for wrong arguments; main prints the message and the usage, exit 2.
struct UsageError {
    std::string message;
};

}  // namespace mirolanda::cli
