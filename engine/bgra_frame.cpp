#include "engine/bgra_frame.h"

#include <cstddef>
#include <cstring>

namespace nimbrel {

BgraLookup bgra_lookup(const PaletteEntries& palette) {
    BgraLookup lookup{};
    for (std::size_t i = 0; i < palette.size(); ++i) {
        const std::uint8_t bytes[4] = {palette[i].blue, palette[i].green, palette[i].red, 0};
        std::memcpy(&lookup[i], bytes, sizeof bytes);
    }
    return lookup;
}

void to_bgra32(const IndexedSurface& frame, const PaletteEntries& palette, std::uint32_t* out) {
    const BgraLookup lookup = bgra_lookup(palette);
    const std::uint8_t* in = frame.indices();
    const std::size_t n = static_cast<std::size_t>(frame.width()) * frame.height();
    for (std::size_t i = 0; i < n; ++i)
        out[i] = lookup[in[i]];
}

std::vector<std::uint32_t> to_bgra32(const IndexedSurface& frame, const PaletteEntries& palette) {
    std::vector<std::uint32_t> out(static_cast<std::size_t>(frame.width()) * frame.height());
    to_bgra32(frame, palette, out.data());
    return out;
}

} // namespace nimbrel
