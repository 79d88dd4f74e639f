// Writes a frame as a user sees it (indices through the palette) to a PNG file.
#pragma once

#include "engine/draw.h"
#include "engine/indexed_surface.h"

#include <string>

namespace nimbrel {

// 8-bit RGB. On failure returns false, leaves no file behind and explains in `error`.
bool write_png(const std::string& path, const IndexedSurface& frame, const PaletteEntries& palette,
               std::string& error);

} // namespace nimbrel
