#include "app/saver_timing.h"

namespace nimbrel {

std::uint32_t Window_random::next() {
    seed_ = seed_ * 134775813u + 1u;
    return seed_;
}

std::uint32_t Window_random::below(std::uint32_t n) {
    const std::uint64_t product = static_cast<std::uint64_t>(next()) * n;
    return static_cast<std::uint32_t>(product >> 32);
}

std::int32_t Window_random::non_negative() {
    return static_cast<std::int32_t>(next() >> 1);
}

std::int32_t cycle_seconds(std::int32_t min_time, std::int32_t max_time, Window_random& random) {
    const std::int64_t span = static_cast<std::int64_t>(max_time) - min_time + 1;
    const std::int64_t r = span != 0 ? random.non_negative() % span : 0;
    return static_cast<std::int32_t>(min_time + r);
}

} // namespace nimbrel
