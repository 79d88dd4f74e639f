// How many sides a new ring gets: the weighted choice of the ten side densities.
#pragma once

#include <array>
#include <cstdint>

namespace nimbrel {

class TSettings_Form;

struct DensityTable {
    std::int32_t total = 0;              // sum of the weights
    std::array<std::uint16_t, 11> cum{}; // cum[k] = w_1 + ... + w_k, as 16-bit unsigned
};

// Weights are the negated positions of density1 ... density10 (their bars run -100 ... 0).
DensityTable build_density_table(const TSettings_Form& settings);
// 1 ... 10 by weight; 0 when every weight is 0. Draws one random number.
std::int32_t pick_sides(const DensityTable& table);

} // namespace nimbrel
