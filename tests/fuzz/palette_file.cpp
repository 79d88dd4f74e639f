// Arbitrary palette files: the colour count stays within the animated entries, every animated
// colour read is reserved for animation, the system colours stay where they are, and the
// palette is created once.
#include "fuzz_check.h"

#include "engine/palette_file.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

// The one file this target writes: its own, made at start-up, removed at exit.
std::string g_file;

void remove_file() {
    std::remove(g_file.c_str());
}

struct Palette : PaletteTarget {
    int creates = 0;
    PaletteEntries created{};
    void system_entries(PaletteEntries& into) const override { into = standard_system_entries(); }
    bool create(const PaletteEntries& entries) override {
        created = entries;
        ++creates;
        return true;
    }
    void animate(int, int, const PaletteEntry*) override {}
    void read(int, int, PaletteEntry*) const override {}
};

struct Alerts : AlertSink {
    void alert(const std::string&) override {}
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::string path =
        (std::filesystem::temp_directory_path() / "nimbrel-fuzz-XXXXXX.pal").string();
    const int fd = ::mkstemps(path.data(), 4);
    check(fd >= 0, "a private palette file");
    ::close(fd);
    g_file = path;
    std::atexit(remove_file);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    {
        std::ofstream out(g_file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    LogPalette log;
    Palette palette;
    Alerts alerts;
    check(load_palette_file(g_file, log, palette, alerts), "an existing file loads");
    check(log.loaded_count >= 0 && log.loaded_count <= max_animated_colours, "count in range");
    check(palette.creates == 1, "the palette is created once");
    check(palette.created == log.entries, "the palette created is the one described");
    const PaletteEntries& system = standard_system_entries();
    for (int i = 0; i < first_animated_entry; ++i) {
        check(log.entries[i] == system[i], "low system colours kept");
        check(log.entries[255 - i] == system[255 - i], "high system colours kept");
    }
    for (int k = 0; k < log.loaded_count; ++k)
        check(log.entries[first_animated_entry + k].flags == PC_RESERVED, "animated colours");

    // The first line alone, as the colour count reads it.
    std::string first(reinterpret_cast<const char*>(data), size);
    first = first.substr(0, first.find('\n'));
    check(parse_colour_count(first) == log.loaded_count, "the count comes from the first line");
    return 0;
}
