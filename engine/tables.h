// The process-wide lookup tables every angle-dependent quantity comes from.
#pragma once

#include "engine/fixed_point.h"

#include <array>
#include <cstdint>

namespace nimbrel {

struct LookupTables {
    std::array<double, angle_units> cos_table;
    std::array<double, angle_units> sin_table;
    // S-curve (tanh) from about 0.0025 to 0.9975 that shapes the fluid glides.
    std::array<double, angle_units> smooth_table;
    // Angle between neighbouring vertices of a k-gon, k = 1 ... 10 (entry 0 unused).
    std::array<std::int32_t, 11> side_step;
};

// Builds the tables once per process; later calls do nothing.
void make_tables();
// The tables, built on first use if make_tables has not run yet.
const LookupTables& tables();

} // namespace nimbrel
