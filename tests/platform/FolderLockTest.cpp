// The program folder's writer lock: one holder at a time, released with its holder, a wait
// that says so once and gives up after its timeout or when stopped.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <unistd.h>

#include "platform/FolderLock.h"
#include "support/TempFolder.h"

namespace mirolanda::platform {
namespace {

using namespace std::chrono_literals;

TEST(FolderLock, OneHolderAtATimeAndReleasedWithItsHolder) {
    testing::TempFolder dir;
    {
        auto first = FolderLock::Try(dir.Path());
        ASSERT_TRUE(first);
        EXPECT_FALSE(FolderLock::Try(dir.Path()));  // a second opening conflicts, even in one process
        FolderLock moved = std::move(*first);
        EXPECT_FALSE(FolderLock::Try(dir.Path()));
    }
    EXPECT_TRUE(FolderLock::Try(dir.Path()));
    EXPECT_TRUE(std::filesystem::exists(dir / FolderLock::kFileName));
}

TEST(FolderLock, WaitSaysSoOnceAndGivesUpAfterItsTimeoutOrWhenStopped) {
    testing::TempFolder dir;
    auto held = FolderLock::Try(dir.Path());
    ASSERT_TRUE(held);
    int told = 0;
    FolderLock::WaitOptions options{.Timeout = 50ms, .Waiting = [&] { ++told; }, .Stop = {}, .Poll = 5ms};
    EXPECT_THROW(FolderLock::Wait(dir.Path(), options), FolderBusy);
    EXPECT_EQ(told, 1);
    options.Timeout = 1h;
    options.Stop = [] { return true; };
    EXPECT_THROW(FolderLock::Wait(dir.Path(), options), FolderBusy);
    EXPECT_EQ(told, 2);
}

TEST(FolderLock, WaiterTakesTheLockOnceTheHolderLetsGo) {
    testing::TempFolder dir;
    std::optional<FolderLock> held = FolderLock::Try(dir.Path());
    ASSERT_TRUE(held);
    std::atomic<bool> waiting{false};
    std::thread waiter([&] {
        FolderLock::WaitOptions options{.Timeout = 1h, .Waiting = [&] { waiting = true; }, .Stop = {}, .Poll = 1ms};
        FolderLock mine = FolderLock::Wait(dir.Path(), options);
    });
    while (!waiting) std::this_thread::yield();
    held.reset();
    waiter.join();  // returns only once the waiter held the lock
    EXPECT_TRUE(FolderLock::Try(dir.Path()));
}

TEST(FolderLock, ReadOnlyFolderIsLockedThroughTheFolderItself) {
    testing::TempFolder dir;
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    const bool writable = ::access(dir.Path().c_str(), W_OK) == 0;
    auto first = FolderLock::Try(dir.Path());
    const bool got = first.has_value();
    const bool second = FolderLock::Try(dir.Path()).has_value();
    first.reset();
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
    if (writable) GTEST_SKIP() << "running as root: every folder is writable";
    EXPECT_TRUE(got);
    EXPECT_FALSE(second);
}

}  // namespace
}  // namespace mirolanda::platform
