// Notifications through the desktop's notification service (org.freedesktop.Notifications on
// the session bus), which GNOME, KDE, Xfce and the small daemons (dunst, mako) all offer, with
// or without a tray. Behind an interface so that tests give a sender of their own.
#pragma once

#include <QDBusConnection>
#include <QString>

namespace mirolanda::app {

class NotificationSender {
public:
    virtual ~NotificationSender() = default;
    // Hands the notification to the service; false when no service is there to show it.
    virtual bool Send(const QString& title, const QString& text, bool warning) = 0;
};

class FreedesktopNotifications final : public NotificationSender {
public:
    explicit FreedesktopNotifications(QDBusConnection bus = QDBusConnection::sessionBus());
    bool Send(const QString& title, const QString& text, bool warning) override;

private:
    // Running now, or started by the bus when first called.
    bool ServiceThere() const;

    QDBusConnection bus_;
};

}  // namespace mirolanda::app
