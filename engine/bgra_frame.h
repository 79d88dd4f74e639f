// Shows an indexed frame through a palette as 32-bit pixels, the layout of a top-down 32-bit DIB.
#pragma once

#include "engine/draw.h"
#include "engine/indexed_surface.h"

#include <array>
#include <cstdint>
#include <vector>

namespace nimbrel {

// Palette entries as 32-bit pixels whose bytes in memory are blue, green, red, 0
// (0x00RRGGBB on a little-endian machine).
using BgraLookup = std::array<std::uint32_t, 256>;
BgraLookup bgra_lookup(const PaletteEntries& palette);

// Writes width() * height() pixels, rows top to bottom without padding, into `out`.
void to_bgra32(const IndexedSurface& frame, const PaletteEntries& palette, std::uint32_t* out);
std::vector<std::uint32_t> to_bgra32(const IndexedSurface& frame, const PaletteEntries& palette);

} // namespace nimbrel
