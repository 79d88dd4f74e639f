#include "engine/speed.h"

#include <algorithm>

namespace nimbrel {

std::int32_t frame_interval_ms(bool fix_speed, std::int32_t design_fps) {
    if (!fix_speed) return 1;
    return 1000 / std::max<std::int32_t>(design_fps, 1);
}

} // namespace nimbrel
