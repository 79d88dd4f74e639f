#include "saverkit/tick_schedule.h"

#include <algorithm>

namespace nimbrel {

Tick_schedule::Micros Tick_schedule::tick_started(Micros now) {
    const Micros max_lag = std::max(kMaxLag, 2 * interval_);
    const bool on_schedule = started_ && now - next_due_ <= max_lag;
    due_ = on_schedule ? next_due_ : now;
    started_ = true;
    return due_;
}

Tick_schedule::Micros Tick_schedule::wait_after_tick(Micros now, Micros interval) {
    interval_ = std::max<Micros>(interval, 0);
    next_due_ = due_ + interval_;
    return std::max<Micros>(next_due_ - now, 0);
}

} // namespace nimbrel
