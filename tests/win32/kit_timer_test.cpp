// TScrTimer's thread life and pacing, and its threads waited for when it goes.
#include "saverkit/scr_timer_win32.h"

#include "message_pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

namespace nimbrel {
namespace {

HANDLE duplicate(HANDLE handle) {
    HANDLE copy = nullptr;
    DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &copy, SYNCHRONIZE, FALSE, 0);
    return copy;
}

TEST(KitTimer, ThreadOnlyWithHandlerIntervalAndEnabled) {
    auto timer = std::make_unique<TScrTimer>();
    EXPECT_TRUE(timer->Enabled());
    EXPECT_EQ(timer->Interval(), 10u);
    int ticks = 0;
    timer->SetInterval(0);
    timer->SetOnTimer([&] { ++ticks; });
    EXPECT_FALSE(timer->ThreadRunning()); // no interval
    timer->SetInterval(10);               // enabled all along: ticking starts now
    EXPECT_TRUE(timer->ThreadRunning());
    EXPECT_TRUE(pump_until(2000, [&] { return ticks >= 3; }));
    timer->SetInterval(0);
    EXPECT_FALSE(timer->ThreadRunning());
    const int before = ticks; // a stopped thread delivers nothing more
    pump_for(100);
    EXPECT_EQ(ticks, before);

    timer->SetEnabled(false);
    timer->SetEnabled(true); // restart with interval 0: no thread
    EXPECT_FALSE(timer->ThreadRunning());
    timer->SetInterval(10);
    timer->SetEnabled(false);
    EXPECT_FALSE(timer->ThreadRunning());
    timer->SetOnTimer(nullptr);
    timer->SetEnabled(true);
    EXPECT_FALSE(timer->ThreadRunning());
}

TEST(KitTimer, PeriodPacesInsteadOfTheInterval) {
    auto timer = std::make_unique<TScrTimer>();
    int ticks = 0;
    timer->SetInterval(1000);
    timer->SetPeriodMicros(20000);
    timer->SetOnTimer([&] { ++ticks; });
    pump_for(500);
    EXPECT_GE(ticks, 10); // about 25; one a second by the interval
    // Also waiting for the compositor (none under Wine, or one at 60 Hz or more) keeps ticking.
    timer->SetWaitForCompositor(true);
    EXPECT_TRUE(timer->ThreadRunning());
    int before = ticks;
    pump_for(500);
    EXPECT_GE(ticks - before, 10);
    timer->SetPeriodMicros(0); // back to the interval: woken, one tick at once, then a second
    before = ticks;
    pump_for(500);
    EXPECT_LE(ticks - before, 2);
}

TEST(KitTimer, IntervalChangeWakesTheThread) {
    auto timer = std::make_unique<TScrTimer>();
    std::vector<DWORD> at;
    timer->SetInterval(1000);
    timer->SetOnTimer([&] { at.push_back(GetTickCount()); });
    ASSERT_TRUE(pump_until(2000, [&] { return at.size() >= 1; })); // the first tick is at once
    pump_for(50);
    ASSERT_EQ(at.size(), 1u);

    const DWORD changed = GetTickCount();
    timer->SetInterval(10);
    ASSERT_TRUE(pump_until(3000, [&] { return at.size() >= 12; }));
    EXPECT_LT(at[1] - changed, 200u); // not the 1000 ms the old interval would have waited
    EXPECT_GE(at[11] - at[1], 90u);   // ten ticks
    EXPECT_LT(at[11] - at[1], 400u);
}

TEST(KitTimer, SlowHandlerGetsBackToBackTicksWithoutLossOrDoubling) {
    auto timer = std::make_unique<TScrTimer>();
    std::vector<DWORD> at;
    timer->SetOnTimer([&] {
        at.push_back(GetTickCount());
        Sleep(30);
    });
    ASSERT_TRUE(pump_until(5000, [&] { return at.size() >= 21; }));
    timer->SetEnabled(false);
    std::vector<DWORD> gaps;
    for (std::size_t i = 1; i < at.size(); ++i)
        gaps.push_back(at[i] - at[i - 1]);
    std::sort(gaps.begin(), gaps.end());
    EXPECT_GE(gaps.front(), 25u);          // never two ticks for one handler run
    EXPECT_LE(gaps[gaps.size() / 2], 45u); // the next tick follows at once, no extra wait
}

TEST(KitTimer, RestartsDoNotPileUpStoppedThreads) {
    auto timer = std::make_unique<TScrTimer>();
    int ticks = 0;
    timer->SetOnTimer([&] { ++ticks; });
    for (int i = 0; i < 30; ++i) {
        timer->SetEnabled(false);
        timer->SetEnabled(true);
        pump_for(5);
    }
    pump_for(50);
    timer->SetEnabled(false);
    timer->SetEnabled(true);
    EXPECT_LE(timer->StoppingThreads(), 5u);
}

TEST(KitTimer, GoingStopsItsThreadsAndWaitsForThem) {
    HANDLE threads[2] = {};
    int ticks = 0;
    auto fast = std::make_unique<TScrTimer>();
    fast->SetInterval(1);
    fast->SetOnTimer([&] { ++ticks; });
    auto slow = std::make_unique<TScrTimer>();
    slow->SetInterval(60000); // sits in its pacing wait
    slow->SetOnTimer([&] { ++ticks; });
    ASSERT_TRUE(pump_until(2000, [&] { return ticks >= 5; }));
    threads[0] = duplicate(fast->ThreadHandle());
    threads[1] = duplicate(slow->ThreadHandle());
    fast->SetEnabled(false); // one already told to stop, one still running
    const DWORD start = GetTickCount();
    fast.reset();
    slow.reset();
    EXPECT_LT(GetTickCount() - start, 1000u); // stopped, not waited out
    for (HANDLE thread : threads) {
        ASSERT_NE(thread, nullptr);
        EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0);
        CloseHandle(thread);
    }
}

} // namespace
} // namespace nimbrel
