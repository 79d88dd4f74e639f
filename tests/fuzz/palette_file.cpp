// Arbitrary palette files: the colour count stays within the animated entries, every animated
// colour read is reserved for animation, the system colours stay where they are, and the
// palette is created once.
#include "fuzz_check.h"

#include "engine/palette_file.h"

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

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

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file = (nimbrel_fuzz::private_folder() / "p.pal").string();
    nimbrel_fuzz::write_file(file, data, size);
    LogPalette log;
    Palette palette;
    Alerts alerts;
    check(load_palette_file(file, log, palette, alerts), "an existing file loads");
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
