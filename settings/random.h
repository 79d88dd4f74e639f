// The process-wide random generator shared by the engine and the setting pick.
#pragma once

#include <cstdint>

namespace nimbrel {

std::uint32_t random(std::uint32_t n); // uniform 0 .. n-1; random(0) is 0
double random_real();                  // uniform in [0, 1)
double gaussian(double mean, double deviation);
int random_sign(); // +1 or -1

std::uint32_t random_seed();
void set_random_seed(std::uint32_t seed);
// Milliseconds since midnight, of the system (UTC) clock or of local time.
std::uint32_t time_of_day_ms(bool local);
// Seeds from the system time of day in milliseconds, as at process start.
void seed_random_from_time_of_day();

} // namespace nimbrel
