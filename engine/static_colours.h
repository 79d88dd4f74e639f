// The 20 static colours a Windows 256-colour display keeps in entries 0-9 and 246-255.
#pragma once

#include "engine/draw.h"

#include <array>
#include <cstdint>

namespace nimbrel {

struct StaticColour {
    std::uint8_t index, red, green, blue;
};

inline constexpr std::array<StaticColour, 20> static_colours = {{
    {0, 0, 0, 0},         // black
    {1, 128, 0, 0},       // dark red
    {2, 0, 128, 0},       // dark green
    {3, 128, 128, 0},     // dark yellow
    {4, 0, 0, 128},       // dark blue
    {5, 128, 0, 128},     // dark magenta
    {6, 0, 128, 128},     // dark cyan
    {7, 192, 192, 192},   // light grey
    {8, 192, 220, 192},   // money green
    {9, 166, 202, 240},   // sky blue
    {246, 255, 251, 240}, // cream
    {247, 160, 160, 164}, // medium grey
    {248, 128, 128, 128}, // dark grey
    {249, 255, 0, 0},     // red
    {250, 0, 255, 0},     // green
    {251, 255, 255, 0},   // yellow
    {252, 0, 0, 255},     // blue
    {253, 255, 0, 255},   // magenta
    {254, 0, 255, 255},   // cyan
    {255, 255, 255, 255}, // white
}};

// Writes the static colours (flags 0) into their 20 entries; the other entries are left alone.
inline void copy_static_colours(PaletteEntries& into) {
    for (const StaticColour& c : static_colours)
        into[c.index] = PaletteEntry{c.red, c.green, c.blue, 0};
}

} // namespace nimbrel
