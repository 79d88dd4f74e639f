// The real saver started as the system starts it, judged by what a user sees: changing rings or
// the start-up message, the process ending on input or with its host, the INI file at exit.
#include "driver.h"
#include "fixture.h"
#include "image.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace e2e {
namespace {

double cpu_percent_during(const Process& process, Millis span) {
    const double before = process.cpu_seconds();
    const auto from = Clock::now();
    Sleep(DWORD(span.count()));
    return (process.cpu_seconds() - before) / seconds_since(from) * 100;
}

void report(const char* name, double value, const char* unit) {
    std::printf("[ MEASURE  ] %s: %.1f %s\n", name, value, unit);
    ::testing::Test::RecordProperty(name, std::to_string(value));
}

// ------------------------------------------------------------------------------------------------
TEST_F(Saver, FullScreenShowsChangingRingsWithLittleCpuAndEndsOnAKey) {
    prepare_data(busy_rings({"fix_speed TRUE", "speed_scroll 1 200 30"}));
    const std::string ini_before = read_file(data_ini());
    Process saver(exe_, "/s");
    ASSERT_TRUE(saver.started());

    Image shot;
    const double first_rings = wait_for_rings(saver, Millis(2000), &shot);
    ASSERT_GE(first_rings, 0) << "no rings within 2 s; the screen: " << summary(shot)
                              << windows_of(saver);
    report("first_rings_ms", first_rings * 1000, "ms from process start to rings on the screen");

    HWND window = window_on(saver, screen_rect(), Millis(500));
    ASSERT_NE(window, nullptr) << "no window covers the screen:" << windows_of(saver);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) << "not topmost";

    const Image a = capture_screen();
    Sleep(500);
    const Image b = capture_screen();
    EXPECT_TRUE(shows_rings(b)) << summary(b);
    EXPECT_GT(difference(a, b), 0.001) << "the picture did not change in 0.5 s";
    EXPECT_EQ(read_file(data_ini()), ini_before) << "INI file written before the exit";

    const double cpu = cpu_percent_during(saver, Millis(3000));
    report("cpu_percent_at_30fps", cpu, "% of one core with fix_speed on at 30 frames/s");
    EXPECT_LT(cpu, 10.0);
    EXPECT_TRUE(shows_rings(capture_screen())) << "the rings stopped";

    const auto pressed = Clock::now();
    ASSERT_TRUE(ends_on_a_key(saver)) << "still running 1 s after a key press";
    report("key_to_exit_ms", seconds_since(pressed) * 1000, "ms from key press to process end");
    EXPECT_EQ(saver.exit_code(), 0u);
    expect_prepared_ini_written_back();
    EXPECT_EQ(read_registry_string(kNimbrelKey, "Directory"), data_)
        << "the saver changed the registry value it only reads";
}

TEST_F(Saver, FullScreenEndsOnlyWhenTheMouseMovesBeyondTheThreshold) {
    prepare_data();
    Process saver(exe_, "/s");
    ASSERT_GE(wait_for_rings(saver, Millis(2000)), 0) << windows_of(saver);
    // Distance is measured in a straight line from where the pointer was at start; the last
    // move is the first beyond the threshold of 100.
    expect_only_the_last_move_ends(saver, centre_,
                                   {{100, 0}, {0, -100}, {60, 80}, {-71, -70}, {101, 0}});
}

TEST_F(Saver, ShippedDataAnimatesWithDefaultOptions) {
    const std::string shipped = shipped_data();
    if (shipped.empty()) GTEST_SKIP() << "no shipped data folder (NIMBREL_DATA)";
    ASSERT_TRUE(copy_data(shipped));
    DeleteFileA(data_ini().c_str()); // the defaults, as on a fresh installation

    Process saver(exe_, "/s");
    // The setting is picked at random, and a few shipped ones draw only dots: anything drawn
    // that then moves will do.
    Image shot;
    ASSERT_GE(wait_for_rings(saver, Millis(4000), &shot, shows_drawing), 0)
        << "nothing drawn within 4 s from the shipped settings: " << summary(shot);
    const Image a = capture_screen();
    Sleep(500);
    EXPECT_GT(difference(a, capture_screen()), 0.0) << "the picture did not change in 0.5 s";
    ASSERT_TRUE(ends_on_a_key(saver));
    // The defaults it writes are checked by the unit tests.
    EXPECT_NE(ini_value(data_ini(), "Min_time"), kMissing) << "no INI file at exit";
}

// Start-up time, CPU and key response with a data folder of one's choice, for
// tests/perf/saver_perf.sh: NIMBREL_PERF_DATA names the folder, NIMBREL_PERF_SECONDS the run.
TEST_F(Saver, DISABLED_Measure) {
    std::string data = environment("NIMBREL_PERF_DATA");
    while (!data.empty() && data.back() == '\\')
        data.pop_back();
    ASSERT_FALSE(data.empty()) << "set NIMBREL_PERF_DATA";
    ASSERT_TRUE(copy_data(data));
    const int seconds = std::max(1, std::atoi(environment("NIMBREL_PERF_SECONDS").c_str()));
    Process saver(exe_, "/s");
    const double first = wait_for_rings(saver, Millis(10000));
    std::printf("first ring on screen %.0f ms after CreateProcess\n", first * 1000);
    std::printf("saver pid %lu: measure its CPU now (running %d s)\n", saver.id(), seconds);
    std::fflush(stdout);
    Sleep(DWORD(seconds) * 1000);
    const auto pressed = Clock::now();
    press_key(VK_SPACE);
    const bool ended = saver.wait_exit(Millis(5000));
    std::printf("key to exit: %s %.0f ms\n", ended ? "ended after" : "STILL RUNNING after",
                seconds_since(pressed) * 1000);
    EXPECT_GE(first, 0);
    EXPECT_TRUE(ended);
}

// ------------------------------------------------------------------------------------------------
// Start-up problems: the saver shows why instead of animating, and still writes its INI file.
// Which text and where it goes are the unit tests' business; here a lit band of text must show
// (a settings file that holds no settings is the message of the test at 150 % below).
struct StartupProblem {
    const char* name;
    enum class Registry { DataFolder, Missing, MissingFolder } registry;
    bool palettes;
    const char* settings_file; // Settings_file in the INI file; nullptr: no INI file
    std::string_view bytes;    // the settings file's content; empty: none, or the busy rings
    enum class IniAt { DataFolder, NextToSaver, Nowhere } ini;
};

using R = StartupProblem::Registry;
using I = StartupProblem::IniAt;
const StartupProblem kStartupProblems[] = {
    {"NoRegistryValue", R::Missing, true, nullptr, {}, I::NextToSaver},
    {"DataFolderMissing", R::MissingFolder, false, nullptr, {}, I::Nowhere},
    {"PaletteFolderMissing", R::DataFolder, false, kSettingsName, {}, I::DataFolder},
    // A packed file claiming a megabyte from three bytes of bit stream.
    {"PackedSettingsTruncated", R::DataFolder, true, "Nimbrel_32_Settings.cmp",
     std::string_view("\x00\x00\x10\x00\x5a\xa5\x3c", 7), I::DataFolder},
};

void PrintTo(const StartupProblem& problem, std::ostream* out) {
    *out << problem.name;
}

// What the screen showed while the saver ran: the tallest lit band (the message bounces, and a
// capture may fall between erasing and drawing it), its tallest run of lit rows (a line of text),
// and the most colours and light at any time.
struct MessageSeen {
    RECT band{};
    int line_height = 0;
    int most_colours = 0;
    double most_lit = 0;
    Image last;

    int width() const { return band.right - band.left; }
    int height() const { return band.bottom - band.top; }
    // A few lines of text in a few shades: not a black screen, not rings, not a lit window.
    bool text_only() const {
        return height() >= 8 && height() <= 200 && width() >= 40 && width() <= 600 &&
               most_colours < 8 && most_lit < 0.03;
    }
};

int tallest_line(const Image& shot, const RECT& band) {
    int tallest = 0, run = 0;
    for (int y = band.top; y < band.bottom; ++y) {
        bool lit = false;
        for (int x = band.left; x < band.right && !lit; ++x)
            lit = (shot.at(x, y) & 0x808080) != 0;
        run = lit ? run + 1 : 0;
        tallest = std::max(tallest, run);
    }
    return tallest;
}

// Starts the saver, watches its message for `seconds` and ends it with a key.
MessageSeen watch_message(const std::string& exe, double seconds) {
    MessageSeen seen;
    Process saver(exe, "/s");
    EXPECT_NE(window_on(saver, screen_rect(), Millis(3000)), nullptr)
        << "no full-screen window:" << windows_of(saver);
    const auto from = Clock::now();
    while (seconds_since(from) < seconds && saver.running()) {
        seen.last = capture_screen();
        seen.most_colours = std::max(seen.most_colours, distinct_colours(seen.last, 64));
        seen.most_lit = std::max(seen.most_lit, non_black_fraction(seen.last));
        const RECT band = lit_bounds(seen.last);
        if (band.bottom - band.top > seen.height()) {
            seen.band = band;
            seen.line_height = tallest_line(seen.last, band);
        }
        Sleep(30);
    }
    std::printf("[   INFO   ] lit band %dx%d, lines %d high; at most %d colours, %.2f%% lit\n",
                seen.width(), seen.height(), seen.line_height, seen.most_colours,
                seen.most_lit * 100);
    EXPECT_TRUE(ends_on_a_key(saver)) << "still running 1 s after a key press";
    return seen;
}

class SaverStartupProblem : public Saver, public ::testing::WithParamInterface<StartupProblem> {};

TEST_P(SaverStartupProblem, ShowsItsMessageAndNeverAnimates) {
    const StartupProblem& problem = GetParam();
    if (problem.registry == R::Missing) {
        ASSERT_TRUE(directory_.remove());
    } else if (problem.registry == R::MissingFolder) {
        ASSERT_TRUE(directory_.set_string(bin_ + "nowhere\\"));
    }
    if (problem.palettes) {
        ASSERT_TRUE(write_palette(data_));
    }
    if (problem.settings_file) {
        ASSERT_TRUE(write_ini(
            data_ini(), {{"Start_auto_cycling", "0"}, {"Settings_file", problem.settings_file}}));
        const std::string path = data_ + problem.settings_file;
        if (problem.settings_file == std::string_view(kSettingsName)) {
            ASSERT_TRUE(write_file(path, setting_block("E2E rings", busy_rings())));
        } else if (!problem.bytes.empty()) {
            ASSERT_TRUE(write_file(path, std::string(problem.bytes)));
        }
    }

    const MessageSeen seen = watch_message(exe_, 1.0);
    EXPECT_TRUE(seen.text_only()) << "no message, or more than one: " << summary(seen.last);

    // Without a data folder the INI file goes next to the saver; without a folder at all, nowhere.
    if (problem.ini != I::NextToSaver) {
        EXPECT_FALSE(file_exists(bin_ini()));
    }
    if (problem.ini == I::Nowhere) return;
    const std::string ini = problem.ini == I::NextToSaver ? bin_ini() : data_ini();
    EXPECT_NE(ini_value(ini, "Prompt_force_change"), kMissing) << "no INI file written at exit";
    if (problem.settings_file) {
        EXPECT_EQ(ini_value(ini, "Settings_file"), problem.settings_file);
    }
}

INSTANTIATE_TEST_SUITE_P(, SaverStartupProblem, ::testing::ValuesIn(kStartupProblems),
                         [](const auto& info) { return std::string(info.param.name); });

// At 150 %. Wine reads the resolution from the user's LogPixels value when a process starts: a
// saver started after the value is set runs at 144 dots per inch, this driver stays at 96.
TEST_F(Saver, At150PercentTheMessageIsLaidOutLargerAndTheRingsShow) {
    RegistryValueGuard log_pixels{"Control Panel\\Desktop", "LogPixels"};
    ASSERT_TRUE(write_palette(data_));
    ASSERT_TRUE(write_ini(data_ini(), {{"Start_auto_cycling", "0"}, {"Settings_file", "B.txt"}}));
    ASSERT_TRUE(write_file(data_ + "B.txt", "these are no settings\r\n"));
    // The same message at 100 % and at 150 %: the font grows half again, and the lines wrap
    // wider than the 150 pixels they wrap in at 100 %.
    MessageSeen seen[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(log_pixels.set_number(i ? 144 : 96));
        seen[i] = watch_message(exe_, 1.0);
        ASSERT_TRUE(seen[i].text_only()) << summary(seen[i].last);
    }
    EXPECT_LE(seen[0].width(), 150);
    EXPECT_GT(seen[1].width(), 150) << "wrapped as at 100 %";
    EXPECT_LE(seen[1].width(), 225);
    EXPECT_GE(seen[1].line_height, seen[0].line_height * 13 / 10) << "a font as at 100 %";

    prepare_data();
    Process saver(exe_, "/s");
    Image shot;
    EXPECT_GE(wait_for_rings(saver, Millis(3000), &shot), 0) << "no rings: " << summary(shot);
    ASSERT_TRUE(ends_on_a_key(saver));
}

// ------------------------------------------------------------------------------------------------
// Wine shows no pixels of a child window that another process puts into ours, so the preview is
// judged by its place, its life and its work: the waiting text is a redraw every 20 ms, the rings
// here run at 200 frames a second, fast enough to tell them apart by the CPU they take.
TEST_F(Saver, PreviewFillsItsHostAndEndsWithIt) {
    prepare_data(busy_rings({"fix_speed TRUE", "speed_scroll 1 200 200"}));
    HostWindow host(320, 240); // larger than the monitor picture: its rings cost clearly more
    ASSERT_NE(host.handle(), nullptr);
    Process saver(exe_, "/p " + host.decimal_handle());
    ASSERT_TRUE(saver.started());

    // The saver's window inside the host, as large as the host's client area.
    RECT host_area{};
    GetClientRect(host.handle(), &host_area);
    MapWindowPoints(host.handle(), nullptr, reinterpret_cast<POINT*>(&host_area), 2);
    HWND preview = nullptr;
    wait_until(
        [&] {
            for (HWND w : child_windows(host.handle())) {
                const WindowInfo info = describe(w);
                if (info.process == saver.id() && info.visible &&
                    EqualRect(&info.rect, &host_area) && child_windows(w).empty())
                    preview = w;
            }
            return preview != nullptr || !saver.running();
        },
        Millis(3000));
    const auto shown = Clock::now();
    ASSERT_NE(preview, nullptr) << "no saver window fills the host:" << windows_of(saver);

    // About 2 s of waiting come first; the first half second still holds start-up work.
    Sleep(DWORD(std::max(0.0, 0.5 - seconds_since(shown)) * 1000));
    const double waiting = cpu_percent_during(saver, Millis(1000));
    Sleep(DWORD(std::max(0.0, 3.2 - seconds_since(shown)) * 1000));
    const double running = cpu_percent_during(saver, Millis(1000));
    report("preview_cpu_percent_waiting", waiting, "% of one core, 0.5 s to 1.5 s");
    report("preview_cpu_percent_running", running, "% of one core, 3.2 s to 4.2 s");
    EXPECT_GT(running, 2 * waiting + 3) << "the preview does not seem to start its rings";
    EXPECT_TRUE(saver.running()) << "the preview ended by itself";
    EXPECT_TRUE(saver.visible_top_windows().empty())
        << "the preview opened windows outside its host:" << windows_of(saver);

    host.destroy();
    EXPECT_TRUE(saver.wait_exit(Millis(2000))) << "still running 2 s after its host was destroyed";
    expect_prepared_ini_written_back();
}

// ------------------------------------------------------------------------------------------------
// A colour depth other than the current one, for a display change this Xvfb allows: its RandR
// offers one size only, so Wine can change the depth but not the resolution.
class OtherDepth {
  public:
    OtherDepth() {
        DEVMODEA mode{};
        mode.dmSize = sizeof mode;
        if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return;
        mode.dmBitsPerPel = mode.dmBitsPerPel == 16 ? 32 : 16;
        mode.dmFields = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT;
        changed_ = ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
    }
    OtherDepth(const OtherDepth&) = delete;
    OtherDepth& operator=(const OtherDepth&) = delete;
    ~OtherDepth() {
        if (changed_) ChangeDisplaySettingsA(nullptr, 0);
    }
    bool changed() const { return changed_; }

  private:
    bool changed_ = false;
};

// After a display change the full-screen window covers the screen again and the rings fill it.
// The screen's size cannot change here, so the window is left at the size of a smaller screen
// first, as it would be after a change of resolution.
TEST_F(Saver, DisplayChangeLaysTheWindowOutAgain) {
    prepare_data();
    Process saver(exe_, "/s");
    ASSERT_GE(wait_for_rings(saver, Millis(2000)), 0) << windows_of(saver);
    const RECT screen = screen_rect();
    HWND window = window_on(saver, screen, Millis(500));
    ASSERT_NE(window, nullptr) << windows_of(saver);

    const RECT small{0, 0, screen.right / 2, screen.bottom / 2};
    SetWindowPos(window, nullptr, 0, 0, small.right, small.bottom, SWP_NOACTIVATE | SWP_NOZORDER);
    ASSERT_EQ(window_on(saver, small, Millis(1000)), window);

    const OtherDepth change;
    if (!change.changed()) {
        std::printf("[   INFO   ] no other colour depth here; the display change is posted\n");
        PostMessageA(window, WM_DISPLAYCHANGE, 32, MAKELPARAM(screen.right, screen.bottom));
    }
    EXPECT_EQ(window_on(saver, screen, Millis(2000)), window)
        << "the window did not cover the screen again:" << windows_of(saver);
    // Rings where the small window did not reach: the engine draws on the whole screen.
    const RECT beyond{small.right, small.bottom, screen.right, screen.bottom};
    Image shot;
    EXPECT_TRUE(
        wait_until([&] { return shows_rings(shot = capture_screen(&beyond)); }, Millis(2000)))
        << "no rings beyond the old size: " << summary(shot);
    EXPECT_TRUE(saver.running()) << "the display change ended the saver";
    EXPECT_TRUE(ends_on_a_key(saver)) << "still running 1 s after a key press";
}

// ------------------------------------------------------------------------------------------------
// Command lines the saver must refuse: it ends at once, shows nothing, still writes its INI file.
std::string not_a_window() {
    ULONG_PTR n = 0x7FFF0000;
    while (IsWindow(reinterpret_cast<HWND>(n)))
        n += 2;
    return std::to_string(n);
}

TEST_F(Saver, RefusedCommandLinesEndAtOnceWithoutAWindow) {
    prepare_data();
    for (const std::string& args :
         {"/p " + not_a_window(), std::string("/p"), std::string("/x"), std::string("-q 12")}) {
        SCOPED_TRACE("arguments: " + args);
        DeleteFileA(data_ini().c_str());
        Process saver(exe_, args);
        ASSERT_TRUE(saver.started());
        bool showed = false;
        wait_until(
            [&] {
                showed = showed || !saver.visible_top_windows().empty();
                return !saver.running();
            },
            Millis(3000), Millis(5));
        EXPECT_FALSE(saver.running()) << "still running after 3 s:" << windows_of(saver);
        EXPECT_FALSE(showed) << "a window was shown";
        report("refused_exit_ms", seconds_since(saver.start_time()) * 1000, "ms from start to end");
        saver.wait_exit(Millis(2000));
        EXPECT_EQ(saver.exit_code(), 0u);
        EXPECT_NE(ini_value(data_ini(), "Min_time"), kMissing) << "no INI file written at exit";
    }
}

} // namespace
} // namespace e2e
