// Palette files and the per-frame palette rotation.
#include "engine/nimbrel.h"
#include "engine/pal_animator.h"
#include "engine/palette_file.h"
#include "engine_fakes.h"
#include "settings/random.h"
#include "settings/settings_form.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace nimbrel;
using namespace nimbrel::testing;
using nimbrel_test::write_text;

TEST(PaletteFile, ColourCount) {
    const std::pair<const char*, std::int32_t> cases[] = {
        {"3", 3},          {"300", 236},
        {"236", 236},      {"  12 colours", 12},
        {"40\r", 40},      {"", 0},
        {"colours: 5", 0}, {"-4", 0},
        {"0", 0},          {"99999999999999999999", 236}};
    for (auto [line, n] : cases)
        EXPECT_EQ(parse_colour_count(line), n) << '"' << line << '"';
}

TEST(PaletteFile, ColourLines) {
    struct Case {
        std::string line;
        PaletteEntry entry;
    } cases[] = {
        {"  12   300  7", {12, 44, 7, PC_RESERVED}}, // leading spaces, runs of spaces, modulo 256
        {"1 2", {1, 2, 0, PC_RESERVED}},             // a short line
        {"", {0, 0, 0, PC_RESERVED}},
        {"-1 256 511", {255, 0, 255, PC_RESERVED}},
        {"10 20 30\r", {10, 20, 30, PC_RESERVED}}, // written on Windows
        {"1\t2 3", {1, 3, 0, PC_RESERVED}},        // only the space separates
        {"4 5 6 7 8", {4, 5, 6, PC_RESERVED}},
        {std::string(251, ' ') + "1 2 3", {1, 2, 0, PC_RESERVED}}, // read into 255 characters
    };
    for (const Case& c : cases)
        EXPECT_EQ(parse_colour_line(c.line), c.entry) << c.line;
}

TEST(PaletteFile, LoadsIntoTheLogicalPalette) {
    nimbrel_test::Temp_folder folder;
    std::string many = "300\n";
    for (int k = 0; k < 300; ++k)
        many += std::to_string(k) + " 1 2\n";
    write_text(folder.file("many.pal"), many);
    write_text(folder.file("three.pal"), "3\n255 0 0\n0 255 0\n");
    set_palette_folder(folder.dir());
    RecordingPalette palette;
    RecordingAlerts alerts;

    // Only 236 colours fit between the static ones.
    LogPalette log;
    ASSERT_TRUE(load_palette_file("many.pal", log, palette, alerts));
    EXPECT_EQ(log.loaded_count, 236);
    EXPECT_EQ(log.entries[245], (PaletteEntry{235, 1, 2, PC_RESERVED}));
    EXPECT_EQ(log.entries[246], standard_system_entries()[246]);
    EXPECT_EQ(palette.entries, log.entries);

    LogPalette fresh;
    ASSERT_TRUE(load_palette_file(folder.file("three.pal"), fresh, palette, alerts));
    EXPECT_EQ(fresh.loaded_count, 3);
    EXPECT_EQ(fresh.entries[10], (PaletteEntry{255, 0, 0, PC_RESERVED}));
    EXPECT_EQ(fresh.entries[12], (PaletteEntry{0, 0, 0, PC_RESERVED})); // missing last line
    for (int i = 13; i <= 245; ++i)
        EXPECT_EQ(fresh.entries[i], PaletteEntry{}) << i;
    for (int i : {0, 9, 246, 255})
        EXPECT_EQ(fresh.entries[i], standard_system_entries()[i]);
    EXPECT_TRUE(alerts.texts.empty());

    // A missing file changes nothing.
    LogPalette untouched = fresh;
    EXPECT_FALSE(load_palette_file("absent.pal", untouched, palette, alerts));
    EXPECT_EQ(untouched.entries, fresh.entries);
    EXPECT_EQ(palette.creates, 2);

    // The old palette could not be deleted: said, and loading goes on.
    palette.create_ok = false;
    EXPECT_TRUE(load_palette_file("three.pal", untouched, palette, alerts));
    EXPECT_EQ(alerts.texts, std::vector<std::string>{"Palette not deleted #0"});
}

TEST(PaletteFile, FindPalettes) {
    nimbrel_test::Temp_folder temp;
    const std::string with = temp.file("with"), without = temp.file("without");
    std::filesystem::create_directories(with);
    std::filesystem::create_directories(without + "/folder.pal");
    write_text(with + "/a.PAL", "1\n1 2 3\n");
    write_text(without + "/readme.txt", "");
    EXPECT_TRUE(find_palettes(with));
    EXPECT_EQ(palette_folder(), with + "/");
    EXPECT_FALSE(find_palettes(without));
    EXPECT_FALSE(find_palettes(without + "/missing"));
    EXPECT_EQ(palette_folder(), without + "/missing/");
    set_palette_folder(with + "/");
    EXPECT_EQ(palette_folder(), with + "/");
}

TEST(PaletteRotation, TurnsByTheFlooredStepModuloTheColourCount) {
    // After f frames entry 10 + k shows colour (k + floor(f x inc x 5000 / 65536)) mod n of the
    // source: the file's colours, or the RGB walk's output of that frame.
    nimbrel_test::Temp_folder folder;
    write_text(folder.file("five.pal"), "5\n1 0 0\n2 0 0\n3 0 0\n4 0 0\n5 0 0\n");
    write_text(folder.file("three.pal"), "3\n1 0 0\n2 0 0\n3 0 0\n");
    set_palette_folder(folder.dir());
    const struct {
        const char* file; // none: the RGB walk
        std::int32_t inc;
    } cases[] = {{"five.pal", 14},
                 {"five.pal", -14}, // -1.07 a frame: first -2, then -1 ...
                 {"five.pal", 0},
                 {"three.pal", 128}, // 9.77 a frame, beyond the count: the remainder
                 {nullptr, -128}};
    for (const auto& c : cases) {
        TSettings_Form s(c.file ? std::vector<std::string>{c.file} : std::vector<std::string>{});
        s.set_on(c.file ? Param::UsePalette : Param::RGBwalk, true);
        s.set_position(Param::palette_inc, c.inc);
        set_random_seed(3);
        RecordingTarget window(32, 32);
        RecordingPalette palette;
        RecordingAlerts alerts;
        Nimbrel e(s, window, palette, alerts);
        ASSERT_EQ(e.use_palette(), c.file != nullptr);
        const int n = e.colour_count();
        const PaletteEntries start = palette.entries;
        window.calls.clear();
        for (int f = 1; f <= 20; ++f) {
            e.frame_step(true); // colours only: the palette turns, nothing is drawn
            const std::int64_t t = std::int64_t{f} * c.inc * 5000;
            const std::int64_t turned = t >= 0 ? t / 65536 : -((-t + 65535) / 65536);
            const PaletteEntry* source = c.file ? &start[10] : e.animator()->output().data();
            for (int k = 0; k < n; ++k) {
                const PaletteEntry& want = source[((k + turned) % n + n) % n];
                const PaletteEntry& got = palette.entries[10 + k];
                ASSERT_TRUE(got.red == want.red && got.green == want.green && got.blue == want.blue)
                    << "inc " << c.inc << ", frame " << f << ", entry " << k;
            }
            ASSERT_EQ(palette.entries[10 + n], start[10 + n]);
        }
        EXPECT_TRUE(window.calls.empty());
    }
}
