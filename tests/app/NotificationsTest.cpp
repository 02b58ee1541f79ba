// Where a notification goes: the desktop's notification service when one answers, the tray's
// balloon otherwise (the offscreen platform has no tray, so nowhere), and the real service's
// call as a private session bus delivers it to a small stand-in service.
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include "WindowFixture.h"
#include "app/shell/DesktopNotifications.h"

namespace mirolanda::app::test {
namespace {

class ScriptedSender final : public NotificationSender {
public:
    explicit ScriptedSender(bool answers) : answers_(answers) {}
    bool Send(const QString& title, const QString& text, bool warning) override {
        sent.push_back(title + "|" + text + (warning ? "|!" : ""));
        return answers_;
    }
    QStringList sent;

private:
    bool answers_;
};

TEST(TrayIconTest, TheServiceIsAskedFirstAndWithoutItOrATrayNothingIsShown) {
    App();
    for (bool answers : {true, false}) {
        auto sender = std::make_unique<ScriptedSender>(answers);
        ScriptedSender* seen = sender.get();
        TrayIcon tray(std::move(sender), std::chrono::milliseconds(10));
        ASSERT_FALSE(tray.Available());  // no tray on this platform, however long it is looked for
        EXPECT_EQ(tray.Notify("値上がりの通知", "1301 極洋 上昇率 5.0%", true), answers);
        EXPECT_EQ(seen->sent, QStringList({"値上がりの通知|1301 極洋 上昇率 5.0%|!"}));
    }
}

// The service's side on a private bus: records each Notify and answers with an id.
class FakeNotificationService final : public QDBusVirtualObject {
public:
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (message.interface() != "org.freedesktop.Notifications" || message.member() != "Notify") return false;
        calls.push_back(message.arguments());
        connection.send(message.createReply(QVariantList{QVariant::fromValue(7u)}));
        return true;
    }
    std::vector<QVariantList> calls;
};

// A dbus-daemon of the test's own, ended with the test. Its configuration names no service
// folders, so that a notification daemon installed on the machine is never started on demand.
class PrivateBus {
public:
    PrivateBus() {
        const QString daemon = QStandardPaths::findExecutable("dbus-daemon");
        if (daemon.isEmpty() || !folder_.isValid()) return;
        const QString config = folder_.filePath("bus.conf");
        QFile file(config);
        if (!file.open(QIODevice::WriteOnly)) return;
        file.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                   " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen>\n"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
        file.close();
        process_.start(daemon, {"--config-file=" + config, "--nofork", "--nopidfile", "--print-address=1"});
        if (!process_.waitForStarted(5000) || !process_.waitForReadyRead(5000)) return;
        address_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
    ~PrivateBus() {
        process_.terminate();
        process_.waitForFinished(5000);
    }
    const QString& Address() const { return address_; }

private:
    QTemporaryDir folder_;
    QProcess process_;
    QString address_;
};

TEST(DesktopNotificationsTest, TheServiceOnTheBusGetsTheNotificationAndNoServiceMeansNotSent) {
    App();
    PrivateBus bus;
    if (bus.Address().isEmpty()) GTEST_SKIP() << "no dbus-daemon";
    QDBusConnection sender = QDBusConnection::connectToBus(bus.Address(), "sender");
    ASSERT_TRUE(sender.isConnected());
    FreedesktopNotifications notifications(sender);
    EXPECT_FALSE(notifications.Send("自動ダウンロード完了", "3,600銘柄", false));  // nobody there yet

    QDBusConnection service = QDBusConnection::connectToBus(bus.Address(), "service");
    FakeNotificationService fake;
    ASSERT_TRUE(service.registerVirtualObject("/org/freedesktop/Notifications", &fake));
    ASSERT_TRUE(service.registerService("org.freedesktop.Notifications"));
    EXPECT_TRUE(notifications.Send("値下がりの通知", "<b>1301</b> & 極洋", true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !fake.calls.empty(); }, 5000));
    const QVariantList& args = fake.calls[0];
    ASSERT_EQ(args.size(), 8);
    EXPECT_EQ(args[0].toString(), "Mirolanda");
    EXPECT_EQ(args[3].toString(), "値下がりの通知");
    EXPECT_EQ(args[4].toString(), "&lt;b&gt;1301&lt;/b&gt; &amp; 極洋");  // never read as markup
    EXPECT_EQ(args[7].toInt(), -1);
    service.unregisterService("org.freedesktop.Notifications");
    QDBusConnection::disconnectFromBus("service");
    QDBusConnection::disconnectFromBus("sender");
}

}  // namespace
}  // namespace mirolanda::app::test
