#include "engine/tables.h"

#include <cmath>
#include <memory>

namespace nimbrel {
namespace {
std::unique_ptr<LookupTables> g_tables;
} // namespace

void make_tables() {
    if (g_tables) return;
    auto t = std::make_unique<LookupTables>();
    const double pi = 3.14159265358979323846;
    for (int i = 0; i < angle_units; ++i) {
        t->cos_table[i] = std::cos(2 * pi * i / angle_units);
        t->sin_table[i] = std::sin(2 * pi * i / angle_units);
        t->smooth_table[i] = (std::tanh((i - 8192) * 6.0 / angle_units) + 1) * 0.5;
    }
    t->side_step[0] = 0;
    for (int k = 1; k <= 10; ++k)
        t->side_step[k] = angle_units / k;
    g_tables = std::move(t);
}

const LookupTables& tables() {
    make_tables();
    return *g_tables;
}

} // namespace nimbrel
