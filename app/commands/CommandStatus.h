// What a network command tells the main window while it runs: the status line, the progress
// bar, the state that keeps two network commands from running at once, and the controls that
// are disabled or offered meanwhile.
#pragma once

#include <QString>
#include <cstdint>

namespace mirolanda::app {

class CommandStatus {
public:
    virtual ~CommandStatus() = default;

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
inline void BeginNetworkCommand(CommandStatus& status, const QString& text) {
    status.SetTabsEnabled(false);
    status.SetDownloadState(1);
    status.ResetResultGrid();
    status.ShowStatus(text);
    status.SetCancellable(true);
}

// The status text of a command the user cancelled.
inline const QString kCancelledStatus = QStringLiteral("中止しました");

}  // namespace mirolanda::app
