// Desktop notifications and the tray icon, behind an interface so that tests record what the
// window asks to notify (the offscreen platform has no tray). The real one is a
// QSystemTrayIcon with the menu 表示, 今すぐダウンロード and 終了, set up as soon as a tray
// appears (a tray host often starts after the program at login); a notification goes to the
// desktop's notification service when one answers, else to the tray's balloon.
#pragma once

#include <QObject>
#include <QString>
#include <chrono>
#include <memory>

#include "app/shell/DesktopNotifications.h"

class QMenu;
class QTimer;
class QSystemTrayIcon;

namespace mirolanda::app {

class Notifier {
public:
    virtual ~Notifier() = default;
    // True when the desktop shows a tray, so that the icon (and the program) can stay there.
    virtual bool Available() const = 0;
    // False when the desktop has nowhere to show it; the window then says it on its status line.
    virtual bool Notify(const QString& title, const QString& text, bool warning) = 0;
};

class TrayIcon final : public QObject, public Notifier {
    Q_OBJECT
public:
    // `sender` reaches the notification service; `trayCheck` is how often a missing tray is
    // looked for again.
    explicit TrayIcon(std::unique_ptr<NotificationSender> sender, std::chrono::milliseconds trayCheck = std::chrono::seconds(5),
                      QObject* parent = nullptr);
    ~TrayIcon() override;

    bool Available() const override;
    bool Notify(const QString& title, const QString& text, bool warning) override;

signals:
    void ShowRequested();
    void DownloadRequested();
    void QuitRequested();

private:
    // Makes the icon once the desktop has a tray; true when there is one.
    bool SetUpIcon();

    std::unique_ptr<NotificationSender> sender_;
    QTimer* trayCheck_ = nullptr;
    QSystemTrayIcon* icon_ = nullptr;
    QMenu* menu_ = nullptr;
};

}  // namespace mirolanda::app
