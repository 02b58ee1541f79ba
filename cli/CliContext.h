// What every sub-command of mirolanda-cli is given: the program folder, the folder set and
// the settings store as the settings file holds them, and the clock.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/Date.h"
#include "platform/Folders.h"
#include "settings/Secrets.h"
#include "settings/Store.h"

namespace mirolanda::cli {

struct CliContext {
    std::filesystem::path programFolder;
    platform::Folders folders;
    std::unique_ptr<platform::Clock> clock;
    std::unique_ptr<settings::Store> store;
    std::unique_ptr<settings::Secrets> secrets;  // the API key
    // How long a writing command waits for another writer (--wait).
    std::chrono::seconds lockWait{600};

    // Every setting as the file holds it, or at its default.
    settings::Snapshot Settings() const { return store->Current(); }
};

using Args = std::vector<std::string>;

struct Command {
    const char* name;
    const char* usage;  // printed by --help: the first line is the synopsis
    int (*run)(CliContext& context, const Args& args);
    bool draws = false;  // paints with QtGui: runs under a QGuiApplication on the offscreen platform
};

// Words of the help that the man page and the bash completion look for: the start of the
// usage lines, and the heading of the command list.
inline constexpr const char* kUsagePrefix = "使い方: ";
inline constexpr const char* kCommandsHeading = "コマンド:";

// Thrown by a command for wrong arguments; main prints the message and the synopsis, exit 2.
struct UsageError {
    std::string message;
};

}  // namespace mirolanda::cli
