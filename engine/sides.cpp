#include "engine/sides.h"

#include "engine/fixed_point.h"
#include "settings/random.h"
#include "settings/settings_form.h"

namespace nimbrel {

DensityTable build_density_table(const TSettings_Form& settings) {
    static constexpr Param densities[10] = {
        Param::density1, Param::density2, Param::density3, Param::density4, Param::density5,
        Param::density6, Param::density7, Param::density8, Param::density9, Param::density10};
    DensityTable table;
    std::int64_t sum = 0;
    for (int k = 1; k <= 10; ++k) {
        sum -= settings.pos(densities[k - 1]);
        table.cum[k] = static_cast<std::uint16_t>(sum);
    }
    table.total = wrap32(sum);
    return table;
}

std::int32_t pick_sides(const DensityTable& table) {
    const auto r = static_cast<std::uint16_t>(random(static_cast<std::uint32_t>(table.total)) + 1);
    for (int k = 1; k <= 10; ++k)
        if (r <= table.cum[k]) return k;
    return 0;
}

} // namespace nimbrel
