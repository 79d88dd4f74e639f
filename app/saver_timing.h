// The saver window's clocks: its own random generator and the cycle time of a setting.
#pragma once

#include <cstdint>

namespace nimbrel {

// The window's second generator, for cycle times and the message's motion. It is seeded when the
// window is shown, apart from the process-wide one that picks settings and drives the engine.
class Window_random {
  public:
    void seed(std::uint32_t seed) { seed_ = seed; }
    // Uniform 0 .. n-1; 0 gives 0.
    std::uint32_t below(std::uint32_t n);
    // A non-negative 31-bit number.
    std::int32_t non_negative();

  private:
    std::uint32_t next();
    std::uint32_t seed_ = 0;
};

// Whole seconds a setting stays on show: Min_time plus a random part of the span, both ends
// included (a span of 0 gives Min_time).
std::int32_t cycle_seconds(std::int32_t min_time, std::int32_t max_time, Window_random& random);

} // namespace nimbrel
