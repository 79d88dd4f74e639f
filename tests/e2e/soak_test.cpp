// The full-screen saver left running for a long while, changing setting every second at full
// speed: it must not pile up GDI objects or handles, and a key must still end it at once.
#include "driver.h"
#include "fixture.h"
#include "image.h"

#include <gtest/gtest.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace e2e {
namespace {

// What the saver holds. Wine answers GetGuiResources and GetProcessHandleCount for another
// process with 0 (stubs), so there the private bytes are what can show a leak: a leaked bitmap or
// DIB section per setting change would add at least a screen's worth of bytes each second.
struct Resources {
    DWORD gdi = 0, user = 0, handles = 0;
    SIZE_T private_bytes = 0;
};

Resources resources_of(const Process& process) {
    Resources r{GetGuiResources(process.handle(), GR_GDIOBJECTS),
                GetGuiResources(process.handle(), GR_USEROBJECTS)};
    GetProcessHandleCount(process.handle(), &r.handles);
    PROCESS_MEMORY_COUNTERS memory{};
    if (K32GetProcessMemoryInfo(process.handle(), &memory, sizeof memory))
        r.private_bytes = memory.PagefileUsage;
    return r;
}

std::string describe(const Resources& r) {
    return std::to_string(r.gdi) + " GDI objects, " + std::to_string(r.user) + " USER objects, " +
           std::to_string(r.handles) + " handles, " + std::to_string(r.private_bytes / 1024) +
           " KB private";
}

// Several unlike settings, none at a fixed speed, so every change builds a new engine and
// palette at the full frame rate.
std::string soak_settings() {
    return setting_block("Soak busy", busy_rings()) +
           setting_block("Soak vertices",
                         busy_rings({"max_polygons 0 200 12", "draw_vertices TRUE"})) +
           setting_block("Soak palette", busy_rings({"UsePalette TRUE", "control_points 3 16 9",
                                                     "par_motion TRUE", "mot_par_a 0 128 40"})) +
           setting_block("Soak dense", busy_rings({"max_polygons 0 200 200", "rub_out FALSE",
                                                   "ran_rotation TRUE"}));
}

// 60 s by default; ./dev gives a shorter run outside CI through NIMBREL_SOAK_SECONDS.
int soak_seconds() {
    const std::string text = environment("NIMBREL_SOAK_SECONDS");
    const int seconds = text.empty() ? 0 : std::atoi(text.c_str());
    return seconds > 0 ? seconds : 60;
}

TEST_F(Saver, CyclingEverySecondForLongKeepsResourcesFlatAndEndsOnAKey) {
    ASSERT_TRUE(write_palette(data_));
    ASSERT_TRUE(write_file(data_ + kSettingsName, soak_settings()));
    ASSERT_TRUE(write_ini(data_ini(), {{"Start_auto_cycling", "1"},
                                       {"Tagged_settings_only", "0"},
                                       {"Min_time", "1"},
                                       {"Max_time", "1"},
                                       {"Prompt_screen_change", "0"},
                                       {"Settings_file", kSettingsName}}));
    Process saver(exe_, "/s");
    ASSERT_TRUE(saver.started());

    Image shot;
    // Start-up time is measured elsewhere; as the suite's first test this one also pays for a cold
    // Wine on a busy machine.
    ASSERT_GE(wait_for_rings(saver, Millis(10000), &shot), 0)
        << "no rings within 10 s; the screen: " << summary(shot) << windows_of(saver);
    Sleep(500);
    const Resources first = resources_of(saver);
    std::printf("[   INFO   ] with the first setting: %s\n", describe(first).c_str());
    // Real Windows counts; Wine answers 0 for another process, and then only the bytes tell.
    const bool counts_known = first.gdi > 0 && first.handles > 0;
    ASSERT_GT(first.private_bytes, 0u) << "GetProcessMemoryInfo failed for the saver";

    const int seconds = soak_seconds();
    const auto started = Clock::now();
    while (seconds_since(started) < seconds) {
        ASSERT_FALSE(saver.wait_exit(Millis(1000)))
            << "the saver ended by itself after " << seconds_since(started) << " s, exit code "
            << saver.exit_code();
    }
    const Resources last = resources_of(saver);
    std::printf("[   INFO   ] after %d s of a new setting every second: %s\n", seconds,
                describe(last).c_str());
    // A setting that has just started shows few rings yet, and a dot setting only a few hundred
    // pixels: anything drawn shows the saver still animates.
    Image end_shot;
    EXPECT_GE(wait_for_rings(saver, Millis(1500), &end_shot, shows_drawing), 0)
        << "nothing drawn at the end: " << summary(end_shot);
    // A setting change may be half done when we look: a few objects either way, no trend.
    if (counts_known) {
        EXPECT_LE(last.gdi, first.gdi + 8) << "GDI objects grew";
        EXPECT_LE(last.user, first.user + 4) << "USER objects grew";
        EXPECT_LE(last.handles, first.handles + 8) << "handles grew";
    }
    // The engines differ in size between settings; a leak per change would exceed this at once.
    EXPECT_LE(last.private_bytes, first.private_bytes + 8 * 1024 * 1024) << "private bytes grew";

    const auto pressed = Clock::now();
    ASSERT_TRUE(ends_on_a_key(saver)) << "still running 1 s after a key press";
    std::printf("[ MEASURE  ] key_to_exit_ms: %.0f ms\n", seconds_since(pressed) * 1000);
    EXPECT_EQ(saver.exit_code(), 0u);
}

} // namespace
} // namespace e2e
