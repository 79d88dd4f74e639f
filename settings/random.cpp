#include "settings/random.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace nimbrel {
namespace {
std::uint32_t g_seed = 0;

void advance() {
    g_seed = g_seed * 134775813u + 1u;
}
} // namespace

std::uint32_t random(std::uint32_t n) {
    advance();
    return static_cast<std::uint32_t>((std::uint64_t{g_seed} * n) >> 32);
}

double random_real() {
    advance();
    return g_seed / 4294967296.0;
}

double gaussian(double mean, double deviation) {
    double u, v, s;
    do {
        u = 2 * random_real() - 1;
        v = 2 * random_real() - 1;
        s = u * u + v * v;
    } while (s >= 1);
    // s can only be 0 after 2^32 draws land exactly on 0.5 twice; treat it as the mean.
    if (s == 0) return mean;
    return std::sqrt(-2 * std::log(s) / s) * u * deviation + mean;
}

int random_sign() {
    return (random(1024) & 8) ? 1 : -1;
}

std::uint32_t random_seed() {
    return g_seed;
}
void set_random_seed(std::uint32_t seed) {
    g_seed = seed;
}

std::uint32_t time_of_day_ms(bool local) {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t t = system_clock::to_time_t(now);
    std::tm tm{};
#ifdef _WIN32
    local ? localtime_s(&tm, &t) : gmtime_s(&tm, &t);
#else
    local ? localtime_r(&t, &tm) : gmtime_r(&t, &tm);
#endif
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return static_cast<std::uint32_t>(((tm.tm_hour * 60 + tm.tm_min) * 60 + tm.tm_sec) * 1000 + ms);
}

void seed_random_from_time_of_day() {
    set_random_seed(time_of_day_ms(false));
}

} // namespace nimbrel
