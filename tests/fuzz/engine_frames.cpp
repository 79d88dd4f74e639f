// Arbitrary setting lines applied to a fresh holder, then a ring engine built from whatever they
// left on an indexed surface of any size from 0 x 0, and a few frames. The first two input bytes
// give the window size, the rest are the lines (cut at LF, line 0 the name). Whatever the lines
// say, the engine must not crash, allocate without bound or divide by zero; it draws only in black
// or in its own animated colours, and animates only palette entries that exist.
#include "fuzz_check.h"

#include "engine/indexed_surface.h"
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "settings/settings_form.h"

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

// The palette folder holds a good palette, an empty one and one with an absurd count; a fourth
// listed name has no file.
const std::vector<std::string> g_palettes = {"Good.pal", "Empty.pal", "Huge.pal", "Gone.pal"};

// The surface the rings are drawn on, watched on the way: every call is checked, then drawn.
struct Window : DrawTarget {
    explicit Window(int w, int h) : surface(w, h) {}
    IndexedSurface surface;
    int colours = 0; // the engine's animated colour count, once built
    int width() const override { return surface.width(); }
    int height() const override { return surface.height(); }
    void fill_black() override { surface.fill_black(); }
    void check_entry(std::uint8_t index) const {
        if (colours == 0) return; // still being built
        check(index == 0 ||
                  (index >= first_animated_entry && index < first_animated_entry + colours),
              "rings drawn in black or in an animated colour");
    }
    void polyline(const Point* points, int count, std::uint8_t index) override {
        check(count >= 2 && count <= 11, "a ring's outline has 2 to 11 points");
        check_entry(index);
        surface.polyline(points, count, index);
    }
    void pixel(int x, int y, std::uint8_t index) override {
        check_entry(index);
        surface.pixel(x, y, index);
    }
};

struct Palette : PaletteTarget {
    PaletteEntries entries{};
    void system_entries(PaletteEntries& into) const override { into = standard_system_entries(); }
    bool create(const PaletteEntries& e) override {
        entries = e;
        return true;
    }
    void animate(int start, int count, const PaletteEntry* e) override {
        check(start >= first_animated_entry && count >= 0 &&
                  start + count <= first_animated_entry + max_animated_colours,
              "only animated entries are animated");
        for (int i = 0; i < count; ++i)
            entries[static_cast<std::size_t>(start + i)] = e[i];
    }
    void read(int start, int count, PaletteEntry* out) const override {
        check(start >= 0 && count >= 0 && start + count <= 256, "reads within the palette");
        for (int i = 0; i < count; ++i)
            out[i] = entries[static_cast<std::size_t>(start + i)];
    }
};

struct Alerts : AlertSink {
    void alert(const std::string&) override {}
};

void write_file(const char* name, const std::string& text) {
    nimbrel_fuzz::write_file(nimbrel_fuzz::private_folder() / name, text.data(), text.size());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    write_file("Good.pal", "3\r\n255 0 0\r\n0 255 0\r\n0 0 255\r\n");
    write_file("Empty.pal", "");
    write_file("Huge.pal", "99999999999\n1 2 3\n");
    set_palette_folder(nimbrel_fuzz::private_folder());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    Window window(data[0] % 160, data[1] % 120); // previews are small; 0 x 0 a minimised host
    const std::vector<std::string> lines = nimbrel_fuzz::lines_of(data + 2, size - 2);

    TSettings_Form holder(g_palettes);
    holder.Apply_setting(lines); // a bad line leaves the setting partly applied: shown all the same
    Palette palette;
    Alerts alerts;
    int cursor_calls = 0;
    const CursorPosition cursor = [&cursor_calls] {
        static const Point far[] = {{0, 0}, {-40000, 40000}, {40000, -40000}, {5, 7}};
        return far[cursor_calls++ % 4];
    };
    Nimbrel engine(holder, window, palette, alerts, cursor);
    check(engine.ring_count() >= 0 && engine.ring_count() <= max_rings, "ring count bounded");
    check(engine.colour_count() >= 1 && engine.colour_count() <= max_animated_colours,
          "a colour range to draw in");
    window.colours = engine.colour_count();
    for (int frame = 0; frame < 12; ++frame)
        engine.frame_step(frame % 5 == 4); // now and then only the colours move
    return 0;
}
