// One window per settings file: a second start finds the first, asks it to come to the
// front, and does not start; once the first has ended another can start.
#include <QDeadlineTimer>
#include <QProcess>
#include <QSettings>

#include "WindowFixture.h"
#include "app/shell/SingleInstance.h"

namespace mirolanda::app::test {
namespace {

TEST(SingleInstance, ASecondStartWakesTheFirstAndDoesNotRun) {
    App();
    testing::TempFolder folder;
    QString lock = QString::fromStdString((folder.Path() / "Mirolanda.ini.running").string());
    auto first = std::make_unique<SingleInstance>(lock);
    ASSERT_TRUE(first->Acquire());
    QSignalSpy activated(first.get(), &SingleInstance::Activated);

    SingleInstance second(lock);
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(second.NotifyRunning());
    EXPECT_TRUE(activated.wait(5000));

    // Another settings file is another program.
    SingleInstance elsewhere(QString::fromStdString((folder.Path() / "other.conf.running").string()));
    EXPECT_NE(elsewhere.ServerName(), first->ServerName());
    EXPECT_TRUE(elsewhere.Acquire());

    first.reset();
    SingleInstance third(lock);
    EXPECT_TRUE(third.Acquire());
}

// The program itself: a second start beside a running window ends by itself, successfully,
// while the first keeps running.
TEST(SingleInstance, TheProgramStartedTwiceLeavesOneWindow) {
    App();
    testing::TempFolder folder;
    QString exe = QCoreApplication::applicationDirPath() + "/mirolanda";
    QString settings = QString::fromStdString((folder.Path() / "Mirolanda.ini").string());
    QStringList args = {"--settings", settings, "--program-folder", QString::fromStdString(folder.Path().string())};
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    QProcess first;
    first.setProcessEnvironment(env);
    first.start(exe, args);
    ASSERT_TRUE(first.waitForStarted(10000));
    // Ready once its settings are written: the last group loaded is the holdings alerts.
    auto loaded = [&] { return QSettings(settings, QSettings::IniFormat).contains("Parameters/BuyDownColor"); };
    QDeadlineTimer deadline(20000);
    while (!loaded() && !deadline.hasExpired() && first.state() == QProcess::Running) first.waitForFinished(50);
    ASSERT_EQ(first.state(), QProcess::Running) << first.readAllStandardError().toStdString();
    ASSERT_TRUE(loaded()) << "the first window never finished loading its settings";

    QProcess second;
    second.setProcessEnvironment(env);
    second.start(exe, args);
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second start must end by itself";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(10000);
}

TEST(SingleInstance, NobodyToWakeReturnsAtOnce) {
    App();
    testing::TempFolder folder;
    SingleInstance lonely(QString::fromStdString((folder.Path() / "x.running").string()));
    EXPECT_FALSE(lonely.NotifyRunning(200));
}

}  // namespace
}  // namespace mirolanda::app::test
