#include "platform/Event.h"

#include <atomic>
#include <thread>

#include <gtest/gtest.h>

#include "platform/RecursiveLock.h"

TEST(EventTest, ManualResetStaysSetUntilReset) {
    plat::Event e;
    EXPECT_FALSE(e.IsSet());
    EXPECT_FALSE(e.Wait(0));
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_TRUE(e.Wait(0));
    e.Reset();
    EXPECT_FALSE(e.Wait(0));
}

TEST(EventTest, AutoResetReleasesOneWait) {
    plat::Event e(false, true);
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0));
}

TEST(EventTest, WaitAnyAnswersTheLowestSetIndex) {
    plat::Event stop, command, timer(false);
    const std::vector<plat::Event*> list = {&stop, &command, &timer};
    EXPECT_EQ(plat::WaitAny(list, 0), plat::kWaitTimeout);
    timer.Set();
    command.Set();
    EXPECT_EQ(plat::WaitAny(list, 0), 1);
    command.Reset();
    EXPECT_EQ(plat::WaitAny(list, 0), 2);
    EXPECT_EQ(plat::WaitAny(list, 0), plat::kWaitTimeout);  // the auto-reset timer was taken
    EXPECT_EQ(plat::WaitAny({}, plat::kWaitInfinite), plat::kWaitTimeout);
}

TEST(EventTest, AnotherThreadWakesAnInfiniteWait) {
    plat::Event stop, work;
    std::atomic<int> woke{-2};
    std::thread waiter([&] { woke = plat::WaitAny({&stop, &work}, plat::kWaitInfinite); });
    work.Set();
    waiter.join();
    EXPECT_EQ(woke.load(), 1);
}

TEST(RecursiveLockTest, TheHolderMayEnterAgainOthersMayNot) {
    plat::RecursiveLock lock;
    plat::ScopedLock outer(lock);
    {
        plat::ScopedLock inner(lock);
        bool otherGotIt = true;
        std::thread other([&] {
            otherGotIt = lock.TryLock();
            if (otherGotIt) lock.Unlock();
        });
        other.join();
        EXPECT_FALSE(otherGotIt);
    }
    EXPECT_TRUE(lock.TryLock());
    lock.Unlock();
}
