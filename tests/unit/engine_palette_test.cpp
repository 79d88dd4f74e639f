// Palette files, the grey start palette, the RGB walk and the per-frame rotation.
#include "engine/nimbrel.h"
#include "engine/pal_animator.h"
#include "engine/palette_file.h"
#include "engine_fakes.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

using namespace nimbrel;
using namespace nimbrel::testing;
namespace fs = std::filesystem;

namespace {

class TempFolder {
  public:
    explicit TempFolder(const std::string& name)
        : path_(fs::temp_directory_path() / ("nimbrel_engine_" + name)) {
        fs::remove_all(path_);
        fs::create_directories(path_);
    }
    ~TempFolder() { fs::remove_all(path_); }
    const fs::path& path() const { return path_; }
    void write(const std::string& name, const std::string& text) const {
        std::ofstream(path_ / name, std::ios::binary) << text;
    }

  private:
    fs::path path_;
};

bool same_rgb(const PaletteEntry& a, const PaletteEntry& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}

} // namespace

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
    TempFolder folder("load");
    std::string many = "300\n";
    for (int k = 0; k < 300; ++k)
        many += std::to_string(k) + " 1 2\n";
    folder.write("many.pal", many);
    folder.write("three.pal", "3\n255 0 0\n0 255 0\n");
    set_palette_folder(folder.path());

    RecordingPalette palette;
    RecordingAlerts alerts;
    LogPalette log;
    ASSERT_TRUE(load_palette_file("many.pal", log, palette, alerts));
    EXPECT_EQ(log.loaded_count, 236);
    EXPECT_EQ(log.entries[245], (PaletteEntry{235, 1, 2, PC_RESERVED}));
    EXPECT_EQ(palette.creates, 1);
    EXPECT_EQ(palette.entries, log.entries);

    LogPalette fresh;
    ASSERT_TRUE(load_palette_file((folder.path() / "three.pal").string(), fresh, palette, alerts));
    EXPECT_EQ(fresh.loaded_count, 3);
    EXPECT_EQ(fresh.entries[10], (PaletteEntry{255, 0, 0, PC_RESERVED}));
    EXPECT_EQ(fresh.entries[12], (PaletteEntry{0, 0, 0, PC_RESERVED})); // missing last line
    for (int i = 13; i <= 245; ++i)
        EXPECT_EQ(fresh.entries[i], PaletteEntry{}) << i;
    for (int i : {0, 1, 9, 246, 255})
        EXPECT_EQ(fresh.entries[i], standard_system_entries()[i]);
    EXPECT_EQ(fresh.entries[255], (PaletteEntry{255, 255, 255, 0}));
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
    TempFolder with("with");
    with.write("a.PAL", "1\n1 2 3\n");
    EXPECT_TRUE(find_palettes(with.path()));
    EXPECT_EQ(palette_folder(), with.path().string() + "/");

    TempFolder without("without");
    without.write("readme.txt", "");
    fs::create_directories(without.path() / "folder.pal");
    EXPECT_FALSE(find_palettes(without.path()));
    EXPECT_FALSE(find_palettes(without.path() / "missing"));
    EXPECT_EQ(palette_folder(), (without.path() / "missing").string() + "/");
    set_palette_folder(with.path().string() + "/");
    EXPECT_EQ(palette_folder(), with.path().string() + "/");
}

TEST(PaletteFile, GreyStartPalette) {
    RecordingPalette palette;
    LogPalette log;
    make_grey_palette(log, palette);
    EXPECT_EQ(log.loaded_count, 236);
    EXPECT_EQ(log.entries[10], (PaletteEntry{0, 0, 0, PC_RESERVED}));
    EXPECT_EQ(log.entries[11], (PaletteEntry{1, 1, 1, PC_RESERVED})); // 1.085
    EXPECT_EQ(log.entries[12], (PaletteEntry{2, 2, 2, PC_RESERVED})); // 2.170
    EXPECT_EQ(log.entries[10 + 47], (PaletteEntry{51, 51, 51, PC_RESERVED}));
    EXPECT_EQ(log.entries[245], (PaletteEntry{255, 255, 255, PC_RESERVED}));
    EXPECT_EQ(log.entries[7], standard_system_entries()[7]);
    EXPECT_EQ(palette.entries, log.entries);
}

TEST(RgbWalk, ColourCountsAndSegments) {
    const struct {
        int points, colours, segment;
    } cases[] = {{16, 224, 14}, {3, 234, 78}, {5, 235, 47}, {4, 236, 59}};
    for (auto c : cases) {
        pal_animator a(c.points, 1, 2);
        EXPECT_EQ(a.colour_count(), c.colours) << c.points;
        EXPECT_EQ(a.segment_length(), c.segment) << c.points;
        EXPECT_EQ(a.output()[c.colours - 1].flags, PC_RESERVED);
        EXPECT_EQ(a.output()[c.colours].flags, 0);
    }
}

TEST(RgbWalk, GammaTable) {
    const struct {
        double g;
        int i, value;
    } cases[] = {{1, 0, 0},   {1, 64, 63},    {1, 128, 128}, {1, 255, 255},
                 {20, 64, 2}, {20, 192, 253}, {20, 0, 0},    {20, 255, 255}};
    for (auto c : cases)
        EXPECT_EQ(make_gamma_table(c.g)[c.i], c.value) << c.g << " " << c.i;
}

TEST(RgbWalk, EccentricityOneStandsStillAndTheRampIsAClosedLoop) {
    set_random_seed(77);
    pal_animator a(4, 1, 1);
    const auto first = a.position(0);
    for (int step = 0; step < 50; ++step)
        a.walk_step();
    EXPECT_EQ(a.position(0), first);
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(a.velocity(j), (std::array<std::int32_t, 3>{0, 0, 0}));
        for (int c = 0; c < 3; ++c) {
            EXPECT_GE(a.position(j)[c], 2);
            EXPECT_LE(a.position(j)[c], 253);
        }
    }
    // Each segment starts at its control point and runs towards the next; the last runs back to
    // the first.
    const auto& gamma = a.gamma_table();
    const int k = a.segment_length();
    for (int j = 0; j < 4; ++j) {
        EXPECT_EQ(a.output()[j * k].red, gamma[a.position(j)[0]]) << j;
        const int next = a.position((j + 1) % 4)[0];
        const int last =
            a.position(j)[0] +
            static_cast<int>(std::nearbyint((k - 1) * double(next - a.position(j)[0]) / k));
        EXPECT_EQ(a.output()[j * k + k - 1].red, gamma[last]) << j;
    }
}

namespace {

struct PaletteEngine {
    explicit PaletteEngine(TSettings_Form& settings)
        : window(32, 32), engine(settings, window, palette, alerts) {}
    RecordingTarget window;
    RecordingPalette palette;
    RecordingAlerts alerts;
    Nimbrel engine;
};

} // namespace

TEST(PaletteRotation, FileColoursMoveByTheIntegerStep) {
    TempFolder folder("rotation");
    folder.write("five.pal", "5\n1 0 0\n2 0 0\n3 0 0\n4 0 0\n5 0 0\n");
    set_palette_folder(folder.path());
    // palette_inc 14 is 1.068 entries a frame, -14 first -2 (floor of -1.068) then -1 ...
    const struct {
        std::int32_t inc;
        std::vector<int> step_per_frame;
    } cases[] = {{14, {1, 1, 1}}, {-14, {-2, -1, -1}}, {0, {0, 0}}};
    for (const auto& c : cases) {
        TSettings_Form settings(std::vector<std::string>{"five.pal"});
        settings.set_on(Param::UsePalette, true);
        settings.set_position(Param::palette_inc, c.inc);
        PaletteEngine e(settings);
        ASSERT_TRUE(e.engine.use_palette());
        int shift = 0;
        for (int step : c.step_per_frame) {
            e.engine.frame_step(false);
            shift += step;
            // Entry 10 + k now shows the colour that was at 10 + (k + shift) mod 5.
            for (int k = 0; k < 5; ++k)
                EXPECT_EQ(e.palette.entries[10 + k].red, ((k + shift) % 5 + 5) % 5 + 1)
                    << "inc " << c.inc << " entry " << k;
        }
        EXPECT_EQ(e.palette.entries[15], PaletteEntry{});
    }
}

TEST(PaletteRotation, StepsBeyondTheColourCountTurnByTheRemainder) {
    TempFolder folder("small");
    folder.write("three.pal", "3\n1 0 0\n2 0 0\n3 0 0\n");
    set_palette_folder(folder.path());
    TSettings_Form settings(std::vector<std::string>{"three.pal"});
    settings.set_on(Param::UsePalette, true);
    settings.set_position(Param::palette_inc, 128); // 9.77 entries a frame
    PaletteEngine e(settings);
    for (int frame = 1; frame <= 10; ++frame) {
        e.engine.frame_step(false);
        const int total = static_cast<int>(std::int64_t{frame} * 640000 / 65536);
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(e.palette.entries[10 + k].red, (k + total) % 3 + 1) << "frame " << frame;
        EXPECT_EQ(e.palette.entries[13], PaletteEntry{}) << "frame " << frame;
    }
}

TEST(PaletteRotation, WalkOffsetFollowsNegativeSteps) {
    TSettings_Form settings;
    settings.set_position(Param::palette_inc, -128); // -9.77: steps of -10 and -9
    set_random_seed(3);
    PaletteEngine e(settings);
    ASSERT_FALSE(e.engine.use_palette());
    const int n = e.engine.colour_count();
    std::int64_t phase = 0;
    int offset = 0;
    e.window.calls.clear();
    for (int frame = 0; frame < 60; ++frame) {
        e.engine.frame_step(true); // colours only: the palette moves, nothing is drawn
        phase -= 640000;
        const std::int64_t s = phase >= 0 ? phase / 65536 : -((-phase + 65535) / 65536);
        phase -= s * 65536;
        offset = static_cast<int>(((offset + s) % n + n) % n);
        ASSERT_EQ(e.engine.walk_offset(), offset) << frame;
        const PaletteEntries& out = e.engine.animator()->output();
        for (int k = 0; k < n; ++k)
            ASSERT_TRUE(same_rgb(e.palette.entries[10 + k], out[(k + offset) % n])) << k;
    }
    EXPECT_TRUE(e.window.calls.empty());
    EXPECT_EQ(e.engine.lead().sides, 3);
}
