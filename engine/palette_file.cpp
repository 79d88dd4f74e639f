#include "engine/palette_file.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <system_error>

#include "engine/fixed_point.h"
#include "settings/settings_form.h"

namespace nimbrel {
namespace {

std::string g_palette_folder;

// Entries 0-9 and 246-255 as the system holds them now.
void copy_system_entries(LogPalette& log, const PaletteTarget& palette) {
    PaletteEntries system{};
    palette.system_entries(system);
    for (int i = 0; i < first_animated_entry; ++i) {
        log.entries[i] = system[i];
        log.entries[255 - i] = system[255 - i];
    }
}

// Leading digits of a token after an optional sign, modulo 2^32 (only the low byte matters).
std::uint32_t token_value(std::string_view token) {
    std::size_t i = 0;
    bool negative = false;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
    std::uint32_t value = 0;
    for (; i < token.size() && token[i] >= '0' && token[i] <= '9'; ++i)
        value = value * 10u + static_cast<std::uint32_t>(token[i] - '0');
    return negative ? 0u - value : value;
}

std::string_view without_line_end(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
        line.remove_suffix(1);
    return line;
}

} // namespace

const std::string& palette_folder() {
    return g_palette_folder;
}

void set_palette_folder(const std::filesystem::path& folder) {
    std::string s = folder.string();
    if (s.empty() || (s.back() != '/' && s.back() != '\\'))
        s += static_cast<char>(std::filesystem::path::preferred_separator);
    g_palette_folder = s;
}

bool find_palettes(const std::filesystem::path& directory) {
    set_palette_folder(directory);
    std::error_code ec;
    // Only files count: a folder that happens to end in ".pal" holds no colours.
    return std::filesystem::is_directory(directory, ec) && !list_palette_files(directory).empty();
}

std::int32_t parse_colour_count(std::string_view line) {
    line = without_line_end(line);
    std::size_t i = 0;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    std::size_t j = i;
    if (j < line.size() && (line[j] == '+' || line[j] == '-')) ++j;
    if (j == line.size() || line[j] < '0' || line[j] > '9') return 0;
    std::int64_t value = 0;
    const bool negative = line[i] == '-';
    for (; j < line.size() && line[j] >= '0' && line[j] <= '9'; ++j)
        value = std::min<std::int64_t>(value * 10 + (line[j] - '0'), max_animated_colours);
    if (negative) return 0;
    return static_cast<std::int32_t>(value);
}

PaletteEntry parse_colour_line(std::string_view line) {
    // Lines are read into a 255-character buffer; the rest of a longer line is skipped.
    line = without_line_end(line.substr(0, 255));
    std::uint8_t rgb[3] = {0, 0, 0};
    std::size_t i = 0;
    for (int c = 0; c < 3; ++c) {
        while (i < line.size() && line[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ')
            ++i;
        rgb[c] = static_cast<std::uint8_t>(token_value(line.substr(start, i - start)));
    }
    return {rgb[0], rgb[1], rgb[2], PC_RESERVED};
}

bool read_palette_file(const std::string& name, std::vector<PaletteEntry>& colours) {
    const std::filesystem::path given(name);
    const std::filesystem::path file =
        given.has_parent_path() ? given : std::filesystem::path(palette_folder() + name);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) return false;
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;

    std::string line;
    std::getline(in, line);
    colours.resize(static_cast<std::size_t>(parse_colour_count(line)));
    for (PaletteEntry& colour : colours) {
        if (!std::getline(in, line)) line.clear();
        colour = parse_colour_line(line);
    }
    return true;
}

bool load_palette_file(const std::string& name, LogPalette& log, PaletteTarget& palette,
                       AlertSink& alerts) {
    std::vector<PaletteEntry> colours;
    if (!read_palette_file(name, colours)) return false;
    log.version = 0x300;
    log.loaded_count = static_cast<std::int32_t>(colours.size());
    copy_system_entries(log, palette);
    std::copy(colours.begin(), colours.end(), log.entries.begin() + first_animated_entry);
    if (!palette.create(log.entries)) alerts.alert("Palette not deleted #0");
    return true;
}

void make_grey_palette(LogPalette& log, PaletteTarget& palette) {
    log.version = 0x300;
    log.loaded_count = max_animated_colours;
    copy_system_entries(log, palette);
    for (int i = 0; i < max_animated_colours; ++i) {
        const auto grey = static_cast<std::uint8_t>(round_even(i * 255.0 / 235));
        log.entries[first_animated_entry + i] = {grey, grey, grey, PC_RESERVED};
    }
    palette.create(log.entries); // the old palette goes without a message here
}

} // namespace nimbrel
