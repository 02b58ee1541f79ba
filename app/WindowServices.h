// What the tabs' commands get from the main window: the settings as the controls hold them
// now (the controls are the live copy), the store, the clock, the message boxes, the status
// line and the state shared by the network commands.
#pragma once

#include <QString>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

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

    // The status line `LblExecMsg` (the detail, such as the HTTP library's own words for a
    // failure, goes to its tooltip), and the progress bar beside it (total 0 hides it).
    virtual void ShowStatus(const QString& text, const QString& detail = {}) = 0;
    virtual void ShowProgress(int done, int total) = 0;

    // `DownloadState`: 0 idle or last command completed, 1 running, −1 last command failed.
    // A network command starts only while no other one runs (state ≠ 1).
    virtual int16_t DownloadState() const = 0;
    virtual void SetDownloadState(int16_t state) = 0;
    // Empties the download result table `FgFix` and disables `CmdCsvSave`.
    virtual void ResetResultGrid() = 0;
    // Enables or disables `TabMain` while a long command runs.
    virtual void SetTabsEnabled(bool enabled) = 0;
    // Offers the cancel button while the running command can still stop without saving.
    virtual void SetCancellable(bool cancellable) = 0;
};

// The start of a network command: the tabs disabled, `DownloadState` 1 so that no other one
// starts, the result table emptied and the command's first status text shown.
inline void BeginNetworkCommand(WindowServices& services, const QString& status) {
    services.SetTabsEnabled(false);
    services.SetDownloadState(1);
    services.ResetResultGrid();
    services.ShowStatus(status);
    services.SetCancellable(true);
}

// The status text of a command the user cancelled.
inline const QString kCancelledStatus = QStringLiteral("中止しました");

// The data date as a command on a worker thread reads it: from its own copy of the holidays,
// never the window's table, which the calendar tab may change meanwhile.
inline std::function<std::string()> WorkerDataDate(const WindowServices& services) {
    return [holidays = services.Holidays(), &clock = services.Clock()] { return calendar::GetDataDate(holidays, clock); };
}

}  // namespace mirolanda::app
