// When a paced timer's next tick is due. Ticks keep an absolute schedule (the k-th tick is due
// k intervals after the first), so waits that the system rounds up to its timer resolution make
// single ticks late but leave the average rate where it was asked to be.
#pragma once

#include <cstdint>

namespace nimbrel {

class Tick_schedule {
  public:
    // Times are microseconds on any steady clock.
    using Micros = std::int64_t;

    // A tick that falls further behind its due time than this (or twice its interval, if more)
    // no longer catches up: the schedule starts again from it instead of following it with a
    // burst of ticks.
    static constexpr Micros kMaxLag = 32000;

    // A tick starts at `now`; returns the time it was due: now for the first tick, after a long
    // stall and after a restart, otherwise the time worked out after the last tick, even when
    // the system's wait ended a little before it.
    Micros tick_started(Micros now);

    // The next tick starts the schedule again (the timer was woken to tick at once).
    void restart() { started_ = false; }

    // After a tick: how long to wait from `now` until the next one, `interval` after the last
    // one was due. 0 means it is due already.
    Micros wait_after_tick(Micros now, Micros interval);

  private:
    bool started_ = false;
    Micros due_ = 0;      // of the tick that ran last
    Micros next_due_ = 0; // as worked out after it
    Micros interval_ = 0;
};

} // namespace nimbrel
