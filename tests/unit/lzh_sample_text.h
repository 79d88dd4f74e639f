// Deterministic test data for the codec's tests and benchmarks: text shaped like a settings file
// (blocks of parameter lines) and random bytes.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace nimbrel::testing {

inline std::vector<std::uint8_t> sample_settings_text(std::size_t min_size,
                                                      std::uint32_t seed = 1) {
    static const char* const scrolls[] = {
        "max_polygons", "vanishing",  "perspective",    "magnification", "aspect_a_x",
        "aspect_a_y",   "aspect_f_x", "aspect_f_y",     "ampl",          "freq",
        "precess",      "density1",   "density3",       "density7",      "shape_freq",
        "mot_par_a",    "mot_par_d",  "control_points", "colour_step",   "speed_scroll"};
    static const char* const checks[] = {"in_out",  "rub_out",    "lock_xy_aspect", "sin_rotation",
                                         "RGBwalk", "draw_solid", "fix_speed",      "par_motion"};
    static const char* const words[] = {"Spiral", "Tunnel", "Bloom",  "Nebula", "Drift",
                                        "Quartz", "Ember",  "Vortex", "Lagoon", "Helix"};
    std::mt19937 rng(seed); // raw outputs are the same on every platform
    std::string text;
    for (int block = 0; text.size() < min_size; ++block) {
        text += "{ ";
        text += words[rng() % 10];
        text += ' ';
        text += words[rng() % 10];
        text += ' ' + std::to_string(block) + "\r\n";
        for (const char* name : scrolls) {
            const int lo = -static_cast<int>(rng() % 3) * 64;
            const int hi = 100 + static_cast<int>(rng() % 3) * 50;
            const int pos = lo + static_cast<int>(rng() % static_cast<unsigned>(hi - lo + 1));
            text += std::string(name) + ' ' + std::to_string(lo) + ' ' + std::to_string(hi) + ' ' +
                    std::to_string(pos) + "\r\n";
        }
        for (const char* name : checks)
            text += std::string(name) + (rng() % 2 ? " TRUE\r\n" : " FALSE\r\n");
        text += std::string("         Screensaver\t") + (rng() % 4 ? "FALSE" : "TRUE") + "\r\n";
        text += "}\r\n";
    }
    return {text.begin(), text.end()};
}

inline std::vector<std::uint8_t> random_bytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<std::uint8_t> b(size);
    for (auto& x : b)
        x = static_cast<std::uint8_t>(rng());
    return b;
}

} // namespace nimbrel::testing
