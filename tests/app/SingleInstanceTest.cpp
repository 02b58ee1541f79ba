// One window per settings file: a second start finds the first, asks it to come to the
// front, and does not start; once the first has ended another can start.
#include "WindowFixture.h"
#include "app/SingleInstance.h"

namespace mirolanda::app::test {
namespace {

TEST(SingleInstance, ASecondStartWakesTheFirstAndDoesNotRun) {
    App();
    testing::TempFolder folder;
    QString lock = QString::fromStdString((folder.Path() / "Mirolanda.conf.running").string());
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

TEST(SingleInstance, NobodyToWakeReturnsAtOnce) {
    App();
    testing::TempFolder folder;
    SingleInstance lonely(QString::fromStdString((folder.Path() / "x.running").string()));
    EXPECT_FALSE(lonely.NotifyRunning(200));
}

}  // namespace
}  // namespace mirolanda::app::test
