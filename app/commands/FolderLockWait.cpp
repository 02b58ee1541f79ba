#include "app/commands/FolderLockWait.h"

#include <QTimer>
#include <optional>

#include "app/commands/ErrorBox.h"
#include "app/commands/WindowServices.h"

namespace mirolanda::app {

platform::FolderLock WaitForWriterLock(const std::filesystem::path& programFolder, const platform::Progress& progress,
                                       std::function<bool()> stop) {
    platform::FolderLock::WaitOptions options;
    options.Timeout = std::chrono::hours(24 * 365);  // as long as the other writer writes; the user may cancel
    options.Waiting = [progress] { progress.Show(platform::kFolderBusyText); };
    options.Stop = std::move(stop);
    return platform::FolderLock::Wait(programFolder, options);
}

void WriteWhenUnlocked(WindowServices& services, QObject* owner, std::function<void()> write) {
    // True once done with: written, or refused for good.
    auto attempt = [&services, write](bool waited) {
        std::optional<platform::FolderLock> lock;
        try {
            lock = platform::FolderLock::Try(services.ProgramFolder());
        } catch (...) {
            ShowError(services, std::current_exception());
            return true;  // the folder cannot be locked at all: no point trying again
        }
        if (!lock) return false;
        if (waited) services.Status().ShowStatus({});
        Guarded(services, write);
        return true;
    };
    if (attempt(false)) return;
    services.Status().ShowStatus(kFolderBusyStatus);
    auto* timer = new QTimer(owner);
    timer->setInterval(500);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, attempt, &services] {
        if (!attempt(true)) return;
        timer->stop();
        timer->deleteLater();
    });
    timer->start();
}

}  // namespace mirolanda::app
