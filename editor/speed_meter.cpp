#include "editor/speed_meter.h"

#include <cmath>

namespace nimbrel {
namespace {
constexpr double Window_seconds = 1.0;
} // namespace

void Speed_meter::frame(double now_seconds) {
    if (!std::isfinite(now_seconds)) return;
    if (!recent_.empty() && now_seconds < recent_.back()) reset();
    if (recent_.empty()) first_ = now_seconds;
    recent_.push_back(now_seconds);
    while (recent_.front() <= now_seconds - Window_seconds)
        recent_.pop_front();
}

int Speed_meter::frames_per_second(double now_seconds) const {
    std::size_t in_window = 0; // frames in (now - 1 s, now]
    for (auto it = recent_.rbegin(); it != recent_.rend(); ++it)
        if (*it > now_seconds - Window_seconds && *it <= now_seconds) ++in_window;
    if (now_seconds - first_ >= Window_seconds) return static_cast<int>(in_window);
    // Less than a second of data: the rate between the first and the last frame.
    if (recent_.size() < 2 || recent_.back() <= first_) return 0;
    return static_cast<int>(
        std::lround(static_cast<double>(recent_.size() - 1) / (recent_.back() - first_)));
}

int Speed_meter::frames_per_second() const {
    return recent_.empty() ? 0 : frames_per_second(recent_.back());
}

void Speed_meter::reset() {
    recent_.clear();
    first_ = 0;
}

} // namespace nimbrel
