#include "saverkit/tick_schedule.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace nimbrel {
namespace {

using Micros = Tick_schedule::Micros;

// A clock whose waits end only on the system's timer interrupts, as on Windows when nobody asked
// for a finer timer resolution: every wait is rounded up to the next multiple of `quantum`. Some
// timers end waits a little `early` instead.
struct Coarse_clock {
    Micros quantum;
    Micros early = 0;
    Micros now = 3217; // not on an interrupt: the first wait is short of a whole quantum
    void wait(Micros d) {
        if (d <= 0) return;
        const Micros end = now + d;
        now = std::max(now, (end + quantum - 1) / quantum * quantum - early);
    }
};

// Runs the tick thread's loop for `length` of simulated time; `cost(k)` is how long tick k takes.
template <class Cost>
std::vector<Micros> run_ticks(Coarse_clock& clock, Micros interval, Micros length, Cost cost) {
    Tick_schedule schedule;
    std::vector<Micros> starts;
    const Micros end = clock.now + length;
    while (clock.now < end) {
        schedule.tick_started(clock.now);
        starts.push_back(clock.now);
        clock.now += cost(starts.size() - 1);
        clock.wait(schedule.wait_after_tick(clock.now, interval));
    }
    return starts;
}

TEST(KitTickSchedule, AverageRateHoldsWithCoarseWaits) {
    for (const int fps : {40, 30, 60, 100}) {
        for (const Coarse_clock timer :
             {Coarse_clock{15625}, Coarse_clock{1000}, Coarse_clock{1, 300}}) {
            Coarse_clock clock = timer;
            const Micros interval = 1000000 / fps;
            const auto starts =
                run_ticks(clock, interval, 10000000, [](std::size_t) { return Micros{2000}; });
            const double rate = (starts.size() - 1) * 1e6 / double(starts.back() - starts.front());
            EXPECT_NEAR(rate, fps, fps * 0.02) << fps << " frames/s, quantum " << clock.quantum;
        }
    }
}

TEST(KitTickSchedule, StallIsFollowedByOneTickNotABurst) {
    for (const Micros quantum : {Micros{15625}, Micros{1000}}) {
        Coarse_clock clock{quantum};
        const Micros interval = 25000;
        const std::size_t stalled = 40;
        const auto starts = run_ticks(clock, interval, 3000000, [&](std::size_t k) {
            return k == stalled ? Micros{500000} : Micros{2000};
        });
        const Micros stall_end = starts[stalled] + 500000;
        // The slow tick is followed at once by the next one, and then by the usual pace.
        EXPECT_LT(starts[stalled + 1] - stall_end, quantum) << quantum;
        int within_100ms = 0;
        for (const Micros t : starts)
            within_100ms += t >= stall_end && t < stall_end + 100000;
        EXPECT_LE(within_100ms, 100000 / interval + 1) << quantum;
        Micros shortest = interval;
        for (std::size_t k = stalled + 2; k < starts.size(); ++k)
            shortest = std::min(shortest, starts[k] - starts[k - 1]);
        EXPECT_GE(shortest, interval - quantum) << quantum;
    }
}

TEST(KitTickSchedule, RestartAndEarlyWakes) {
    Tick_schedule schedule;
    EXPECT_EQ(schedule.tick_started(0), 0);
    EXPECT_EQ(schedule.wait_after_tick(1000, 1000000), 999000);
    // Woken 50 ms later with a new interval of 10 ms: the tick runs now, the next 10 ms on.
    schedule.restart();
    EXPECT_EQ(schedule.tick_started(50000), 50000);
    EXPECT_EQ(schedule.wait_after_tick(51000, 10000), 9000);
    EXPECT_EQ(schedule.tick_started(60400), 60000);
    EXPECT_EQ(schedule.wait_after_tick(61000, 10000), 9000);
    // A wait that ends a little early keeps the schedule too.
    EXPECT_EQ(schedule.tick_started(69700), 70000);
    EXPECT_EQ(schedule.wait_after_tick(70000, 10000), 10000);
}

} // namespace
} // namespace nimbrel
