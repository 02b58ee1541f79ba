#include "app/shell/DesktopNotifications.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QVariantMap>

namespace mirolanda::app {
namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

}  // namespace

FreedesktopNotifications::FreedesktopNotifications(QDBusConnection bus) : bus_(std::move(bus)) {}

bool FreedesktopNotifications::ServiceThere() const {
    if (!bus_.isConnected() || !bus_.interface()) return false;
    if (bus_.interface()->isServiceRegistered(kService)) return true;
    const QDBusMessage names = bus_.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"), QStringLiteral("org.freedesktop.DBus"),
        QStringLiteral("ListActivatableNames")), QDBus::Block, 2000);
    return names.type() == QDBusMessage::ReplyMessage && !names.arguments().isEmpty() &&
           names.arguments().first().toStringList().contains(kService);
}

bool FreedesktopNotifications::Send(const QString& title, const QString& text, bool warning) {
    if (!ServiceThere()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(warning ? 2 : 1)));
    hints.insert(QStringLiteral("desktop-entry"), QStringLiteral(MIROLANDA_APP_ID));
    // Plain text: a service that reads markup must not take an issue's name for a tag.
    QString body = text;
    body.replace(QLatin1Char('&'), QStringLiteral("&amp;")).replace(QLatin1Char('<'), QStringLiteral("&lt;")).replace(QLatin1Char('>'), QStringLiteral("&gt;"));
    call << QStringLiteral("Mirolanda") << 0u << QStringLiteral(MIROLANDA_APP_ID) << title << body << QStringList() << hints
         << -1;
    // Not waited for: a slow service must not hold up the window.
    return bus_.send(call);
}

}  // namespace mirolanda::app
