// The program folder's writer lock (platform::FolderLock) as the window takes it: the window,
// the timer's `mirolanda-cli download` and a user's `mirolanda-cli file` write the same files,
// one at a time. The window never blocks its event loop for it: a command on the worker thread
// waits there, a quick write on the window's thread is tried again on a timer; both say so in
// the status line. Showing grids and charts reads without it.
#pragma once

#include <QObject>
#include <QString>
#include <filesystem>
#include <functional>

#include "platform/FolderLock.h"
#include "platform/Progress.h"

namespace mirolanda::app {

class WindowServices;

// The status text while another writer holds the folder.
inline const QString kFolderBusyStatus = QString::fromUtf8(platform::kFolderBusyText);

// For a command on the worker thread: the lock, waiting for as long as another writer holds
// it, the status line saying so; throws platform::FolderBusy once `stop` says so (a cancel).
platform::FolderLock WaitForWriterLock(const std::filesystem::path& programFolder, const platform::Progress& progress,
                                       std::function<bool()> stop);

// For a quick write on the window's thread (the CSV save, holdings, holidays): runs `write`
// under the lock at once, or, while another writer holds it, says so in the status line and
// tries again every half second with the event loop running. An error of `write` is shown
// as a message box (Guarded). The retry timer belongs to `owner`.
void WriteWhenUnlocked(WindowServices& services, QObject* owner, std::function<void()> write);

}  // namespace mirolanda::app
