// What the tabs and pages get from the main window: the settings as the controls hold them
// now (the controls are the live copy), the store, the clock, the message boxes, the holidays
// and, for the network commands, the status line and shared state (CommandStatus).
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/commands/CommandStatus.h"
#include "calendar/Calender.h"
#include "platform/Date.h"
#include "platform/Folders.h"
#include "platform/Retry.h"
#include "platform/Table.h"
#include "settings/CommandOptions.h"
#include "settings/Secrets.h"
#include "settings/Store.h"

class QWidget;

namespace mirolanda::app {

class Dialogs;

class WindowServices {
public:
    virtual ~WindowServices() = default;

    virtual settings::Store& Settings() = 0;
    // The API key, in the desktop's secret store or the settings file.
    virtual settings::Secrets& Secrets() = 0;
    // The waits before each retry of a request that failed for a while (1, 4 and 16 seconds;
    // tests wait none).
    virtual std::vector<platform::Milliseconds> RetryWaits() const = 0;
    virtual const platform::Clock& Clock() const = 0;
    virtual Dialogs& Dialog() = 0;
    virtual QWidget* Window() = 0;
    virtual const std::filesystem::path& ProgramFolder() const = 0;

    // Every setting as the commands use it now: the settings pages' controls (the live copy)
    // over the store; the connection mode as stored, since an unsaved option is not applied.
    virtual settings::Snapshot LiveSettings() const = 0;
    platform::Folders CurrentFolders() const { return settings::FoldersFrom(LiveSettings()); }

    // The holiday table (shown on "カレンダー") and the data date "yyyymmdd" it gives now.
    virtual const platform::Table& Holidays() const = 0;
    virtual std::string DataDate() const = 0;

    // The status line, the progress and the state shared by the network commands.
    virtual CommandStatus& Status() = 0;
};

// The data date as a command on a worker thread reads it: from its own copy of the holidays,
// never the window's table, which the calendar tab may change meanwhile.
inline std::function<std::string()> WorkerDataDate(const WindowServices& services) {
    return [holidays = services.Holidays(), &clock = services.Clock()] { return calendar::GetDataDate(holidays, clock); };
}

}  // namespace mirolanda::app
