// The engine's logical palette description, palette files, the grey start palette of the RGB walk,
// and the process-wide palette folder.
#pragma once

#include "engine/draw.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace nimbrel {

struct LogPalette {
    std::uint16_t version = 0x300;
    PaletteEntries entries{};
    std::int32_t loaded_count = 0; // animated colours the last palette built holds
};

// The palette folder, held process-wide: set by find_palettes at start-up, used to resolve bare
// palette file names. Always ends in a path separator once set.
const std::string& palette_folder();
void set_palette_folder(const std::filesystem::path& folder);

// Sets the palette folder from `directory`; true when it is a folder holding at least one palette
// file.
bool find_palettes(const std::filesystem::path& directory);

// The colour count of a palette file's first line: a decimal integer, at most 236; anything that
// is not a positive number gives 0.
std::int32_t parse_colour_count(std::string_view line);
// One colour line: three numbers separated by spaces, each taken modulo 256; missing ones are 0.
PaletteEntry parse_colour_line(std::string_view line);

// The colours of a palette file, as many as its first line counts (a missing line is black). A
// name without a folder part is looked up in the palette folder. False when the file cannot be
// read.
bool read_palette_file(const std::string& name, std::vector<PaletteEntry>& colours);

// Loads a palette file into `log` and creates the logical palette from it. A name without a folder
// part is looked up in the palette folder. False (and nothing changed) when the file cannot be
// read.
bool load_palette_file(const std::string& name, LogPalette& log, PaletteTarget& palette,
                       AlertSink& alerts);

// The start palette of the RGB walk: 236 greys from black to white.
void make_grey_palette(LogPalette& log, PaletteTarget& palette);

} // namespace nimbrel
