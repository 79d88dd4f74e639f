#include "app/saver_window_core.h"
#include "app/screen_layout.h"
#include "engine/speed.h"
#include "settings/random.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <vector>

using namespace nimbrel;
using namespace nimbrel_test;

namespace {

struct Drawn {
    std::string text;
    MessageRect rect;
    bool white;
};

int engines_alive = 0;

struct FakeEngine : RingAnimation {
    int fps, *steps;
    FakeEngine(int fps_, int* steps_) : fps(fps_), steps(steps_) { ++engines_alive; }
    ~FakeEngine() override { --engines_alive; }
    void frame_step() override { ++*steps; }
    std::int32_t design_fps() const override { return fps; }
};

struct FakeDialog : ConfigDialogLink {
    std::vector<int> filled;
    void Fill_settings_list(int index) override { filled.push_back(index); }
};

// A window whose text is always text_w x text_h pixels.
class FakeHost : public SaverWindowHost {
  public:
    int w = 640, h = 480, text_w = 100, text_h = 26, dots = 96;
    std::vector<int> wrap_widths; // asked of measure_text
    int blacks = 0, engines_made = 0, frame_steps = 0, not_256_writes = 0;
    std::pair<int, int> engine_size{}; // the window's size when the last engine was made
    std::vector<Drawn> drawn;
    TimerSetting change{}, frame{};
    Display_timing display{75, true};
    FakeDialog* dialog = nullptr;

    int width() const override { return w; }
    int height() const override { return h; }
    int dpi() const override { return dots; }
    void fill_black() override { ++blacks; }
    MessageRect measure_text(const std::string&, const MessageRect& r) override {
        wrap_widths.push_back(r.right - r.left);
        return MessageRect{r.left, r.top, r.left + text_w, r.top + text_h};
    }
    void draw_text(const std::string& text, const MessageRect& r, bool white) override {
        drawn.push_back(Drawn{text, r, white});
    }
    void write_not_256_mode() override { ++not_256_writes; }
    void change_timer(const TimerSetting& t) override { change = t; }
    void frame_timer(const TimerSetting& t) override { frame = t; }
    Display_timing display_timing() override { return display; }
    ConfigDialogLink* config_dialog() override { return dialog; }
    std::unique_ptr<RingAnimation> make_engine(TSettings_Form& params) override {
        ++engines_made;
        engine_size = {w, h};
        return std::make_unique<FakeEngine>(params.pos(Param::speed_scroll), &frame_steps);
    }
    int other_monitors = 0, other_steps = 0;
    std::vector<int> other_fps; // the designed speed of every other monitor's engine made
    std::vector<std::unique_ptr<RingAnimation>> make_other_engines(TSettings_Form& p) override {
        std::vector<std::unique_ptr<RingAnimation>> engines;
        for (int i = 0; i < other_monitors; ++i) {
            other_fps.push_back(p.pos(Param::speed_scroll));
            engines.push_back(std::make_unique<FakeEngine>(other_fps.back(), &other_steps));
        }
        return engines;
    }

    const Drawn& last_white() const {
        for (auto it = drawn.rbegin(); it != drawn.rend(); ++it)
            if (it->white) return *it;
        throw std::runtime_error("nothing drawn");
    }
};

// A timer's setting as one value; the change timer sets interval and switch only.
std::tuple<unsigned, bool, unsigned, bool> timer(const TimerSetting& t) {
    return {t.interval_ms, t.enabled, t.period_us, t.wait_for_compositor};
}
const auto bouncing = timer({20, true}), cycling = timer({30000, true});

const std::string Three_settings = "{ A\r\nfix_speed TRUE\r\nspeed_scroll 1 200 25\r\n}\r\n"
                                   "{ B\r\nspeed_scroll 1 200 7\r\n}\r\n{ C\r\n}\r\n";

// An options record on a data folder holding the given settings text (none when empty).
struct Fixture {
    Temp_folder folder;
    Nimbrel_Options options;
    FakeHost host;
    SaverWindowCore core;

    explicit Fixture(const std::string& settings_text = Three_settings)
        : options(Fixed_registry(folder.dir()), folder.dir()), core(host, options) {
        options.Settings_file = "settings.txt";
        if (!settings_text.empty()) write_text(folder.file("settings.txt"), settings_text);
        options.Min_time = options.Max_time = 30;
        options.Auto_cycling = true;
        options.Tagged_settings_only = false;
    }
    void ticks(int n) {
        for (int i = 0; i < n; ++i)
            core.Change_timer_event();
    }
    // Shows the window and lets it load.
    void start() {
        core.FormShow(false, 9);
        ticks(2);
        ASSERT_TRUE(core.running);
    }
    // A message window: an error known before the window shows.
    void show_message(int w_, int h_, int text_w, int text_h) {
        options.add(err_no_palettes, "x\n");
        host.w = w_;
        host.h = h_;
        host.text_w = text_w;
        host.text_h = text_h;
        core.FormShow(false, 77);
    }
};

} // namespace

TEST(SaverWindowCore, CountdownAndLoadingByRunMode) {
    // Full screen, the first tick already loads; a host preview waits about two seconds.
    for (const auto& [host_preview, waiting_ticks] : {std::pair{false, 0}, {true, 98}}) {
        SCOPED_TRACE(host_preview);
        Fixture f;
        f.core.FormShow(host_preview, 1);
        EXPECT_EQ(f.options.Error_text, Waiting_text);
        EXPECT_EQ(timer(f.host.change), bouncing);

        f.ticks(waiting_ticks);
        for (const Drawn& d : f.host.drawn)
            EXPECT_EQ(d.text, Waiting_text);
        EXPECT_EQ(f.host.engines_made, 0);

        f.ticks(1); // the loading text, laid out anew (one fill)
        const int blacks = f.host.blacks;
        EXPECT_EQ(f.host.last_white().text, Loading_text);
        EXPECT_FALSE(f.core.running);

        f.ticks(1); // loads and starts
        EXPECT_TRUE(f.core.running);
        EXPECT_EQ(f.host.engines_made, 1);
        EXPECT_EQ(f.options.Error_text, "");
        EXPECT_GT(f.host.blacks, blacks);
        EXPECT_EQ(f.host.last_white().text, Loading_text); // nothing drawn after loading
        EXPECT_TRUE(f.host.frame.enabled);
        EXPECT_EQ(timer(f.host.change), cycling);
    }
}

TEST(SaverWindowCore, StartupErrorsShowInsteadOfTheRings) {
    const struct {
        std::string settings_text; // empty: no file at all
        bool error_before_show;    // then there is no countdown
        std::string expected_start;
    } cases[] = {
        {"", false, "Nimbrel could not find the settings file "},
        {"no block here\r\n", false, "The Nimbrel settings file appears to have been corrupted"},
        {Three_settings, true, "earlier problem"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected_start);
        Fixture f(c.settings_text);
        if (c.error_before_show) f.options.add(err_no_palettes, "earlier problem\n");
        f.core.FormShow(false, 5);
        f.ticks(50);
        EXPECT_FALSE(f.core.running);
        EXPECT_EQ(f.host.engines_made, 0);
        ASSERT_FALSE(f.host.drawn.empty());
        const std::string shown = f.host.last_white().text;
        EXPECT_EQ(shown, f.options.Error_text);
        EXPECT_EQ(shown.rfind(c.expected_start, 0), 0u) << shown;
        // The message keeps bouncing, also after a failed load.
        EXPECT_EQ(timer(f.host.change), bouncing);
        const std::size_t drawn = f.host.drawn.size();
        f.ticks(5);
        EXPECT_EQ(f.host.drawn.size(), drawn + 10);
    }
}

TEST(SaverWindowCore, MessageLayoutAndBounce) {
    const struct {
        int w, h, text_w, text_h;
        MessageRect laid_out;
    } cases[] = {
        {641, 481, 100, 26, {270, 227, 370, 253}}, // centred, halves truncated
        {300, 100, 151, 27, {74, 36, 225, 63}},    // odd leftover
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w);
        Fixture f("");
        f.show_message(c.w, c.h, c.text_w, c.text_h);
        f.ticks(1);
        ASSERT_EQ(f.host.drawn.size(), 2u);
        EXPECT_EQ(f.host.drawn[0].rect, c.laid_out); // erased where it was laid out
        EXPECT_FALSE(f.host.drawn[0].white);
        EXPECT_LE(std::abs(f.host.drawn[1].rect.left - c.laid_out.left), 2);
        EXPECT_LE(std::abs(f.host.drawn[1].rect.top - c.laid_out.top), 2);
        // Bounces off every edge and never leaves the window.
        for (int i = 0; i < 2000; ++i) {
            f.ticks(1);
            const MessageRect& r = f.host.drawn.back().rect;
            ASSERT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= c.w && r.bottom <= c.h) << i;
            ASSERT_EQ(r.right - r.left, c.text_w);
        }
    }
}

TEST(SaverWindowCore, MessageTooBigForTheWindowSitsInTheCorner) {
    for (const auto& [w, h] : {std::pair{80, 200}, {200, 10}, {40, 20}}) {
        Fixture f("");
        f.show_message(w, h, 150, 39);
        f.ticks(3);
        EXPECT_EQ(f.host.last_white().rect.left, 0) << w << "x" << h;
        EXPECT_EQ(f.host.last_white().rect.top, 0) << w << "x" << h;
        EXPECT_EQ(f.core.msg_dx(), 0);
        EXPECT_EQ(f.core.msg_dy(), 0);
    }
}

TEST(SaverWindowCore, MessageWrapsAtAWidthScaledToTheWindow) {
    for (const auto& [dpi, wrap] : {std::pair{96, 150}, {120, 188}, {144, 225}, {192, 300}}) {
        Fixture f("");
        f.host.dots = dpi;
        f.show_message(1024, 768, 100, 26);
        f.ticks(2);
        ASSERT_FALSE(f.host.wrap_widths.empty());
        EXPECT_EQ(f.host.wrap_widths.front(), wrap) << dpi;
    }
}

TEST(SaverWindowCore, CyclingAndFrameTimer) {
    Fixture f;
    f.start();
    for (int i = 0; i < 30; ++i) {
        f.core.Change_timer_event(); // the cycle time is up: a new random setting, a new engine
        const auto fps = static_cast<unsigned>(f.core.params_form()->pos(Param::speed_scroll));
        // As fast as possible is once per refresh of the 75 Hz display, with its compositor.
        EXPECT_EQ(timer(f.host.frame), f.core.params_form()->on(Param::fix_speed)
                                           ? timer({1000 / fps, true, 1000000 / fps, false})
                                           : timer({13, true, 13333, true}));
        EXPECT_EQ(timer(f.host.change), cycling);
    }
    EXPECT_EQ(f.host.engines_made, 31); // a repeated pick restarts that setting too

    f.core.Frame_timer_event();
    f.core.Frame_timer_event();
    EXPECT_EQ(f.host.frame_steps, 2);
    EXPECT_EQ(f.host.not_256_writes, 0);
    not_256_mode() = true;
    f.core.Frame_timer_event();
    not_256_mode() = false;
    EXPECT_EQ(f.host.not_256_writes, 1);

    f.core.running = false; // frozen by the dialog: ticks do nothing
    f.core.Frame_timer_event();
    EXPECT_EQ(f.host.frame_steps, 3);

    Fixture off;
    off.options.Auto_cycling = false;
    off.start();
    EXPECT_FALSE(off.host.change.enabled);

    // A stored range lets the designed speed pass 1000: the timer must still tick.
    Fixture fast("{ Fast\r\nfix_speed TRUE\r\nspeed_scroll 1 5000 2000\r\n}\r\n");
    fast.start();
    EXPECT_EQ(fast.core.params_form()->pos(Param::speed_scroll), 2000);
    EXPECT_EQ(timer(fast.host.frame), timer({1, true, 1000, false}));
}

TEST(SaverWindowCore, OneTickStepsEveryMonitorAndTheyChangeSettingTogether) {
    Fixture f;
    f.host.other_monitors = 2;
    f.start();
    EXPECT_EQ(f.core.other_engines(), 2u);
    EXPECT_EQ(engines_alive, 3);
    for (int i = 0; i < 3; ++i)
        f.core.Frame_timer_event();
    EXPECT_EQ(f.host.frame_steps, 3);
    EXPECT_EQ(f.host.other_steps, 6);

    for (int i = 0; i < 10; ++i) {
        f.host.other_fps.clear();
        f.core.Change_timer_event();
        EXPECT_EQ(engines_alive, 3) << "the old engines are gone";
        const int fps = f.core.params_form()->pos(Param::speed_scroll);
        EXPECT_EQ(f.host.other_fps, (std::vector<int>{fps, fps}));
    }

    // A monitor went away: the display change makes the engines of those left.
    f.host.other_monitors = 1;
    f.core.Display_changed();
    EXPECT_EQ(f.core.other_engines(), 1u);
    EXPECT_EQ(engines_alive, 2);
    // Frozen by the dialog, the other monitors' engines still go with their old windows.
    f.core.running = false;
    f.core.Display_changed();
    EXPECT_EQ(f.core.other_engines(), 0u);
    f.core.running = true;

    f.core.Change_setting((f.core.current_setting() + 1) % 3);
    EXPECT_EQ(engines_alive, 2);
    f.core.FormHide();
    EXPECT_EQ(engines_alive, 0);
    EXPECT_EQ(f.core.other_engines(), 0u);
    f.core.Frame_timer_event();
    EXPECT_EQ(f.host.other_steps, 6);
}

TEST(SaverWindowCore, ExplicitPicksFromTheDialog) {
    Fixture f;
    FakeDialog dialog;
    f.core.FormShow(false, 9);
    f.ticks(1);
    f.host.dialog = &dialog; // a dialog shows: no cycling, the list follows random picks
    f.ticks(1);
    ASSERT_TRUE(f.core.running);
    EXPECT_EQ(dialog.filled, std::vector<int>{f.core.current_setting()});
    EXPECT_FALSE(f.host.change.enabled);

    const int engines = f.host.engines_made;
    f.core.Change_setting(f.core.current_setting()); // the one on show: nothing
    EXPECT_EQ(f.host.engines_made, engines);
    const int other = (f.core.current_setting() + 1) % 3;
    f.core.Change_setting(other);
    EXPECT_EQ(f.core.current_setting(), other);
    EXPECT_EQ(f.host.engines_made, engines + 1);
    EXPECT_EQ(dialog.filled.size(), 1u); // explicit picks are not echoed to the list
    for (int bad : {3, -5}) {
        f.core.Change_setting(bad);
        EXPECT_EQ(f.core.current_setting(), other);
    }
}

TEST(SaverWindowCore, SettingsRewrittenByTheEditorShowOnTheSameSetting) {
    Fixture f;
    FakeDialog dialog;
    f.host.dialog = &dialog;
    f.start();
    f.core.Change_setting(1); // B
    const int engines = f.host.engines_made;
    f.core.Refresh_settings(); // nobody wrote: nothing changes
    EXPECT_EQ(f.host.engines_made, engines);

    write_text(f.folder.file("settings.txt"),
               "{ New\r\n}\r\n{ A\r\n}\r\n{ B\r\nspeed_scroll 1 200 9\r\n}\r\n");
    dialog.filled.clear();
    f.core.Refresh_settings();
    EXPECT_EQ(f.core.current_setting(), 2) << "B, where it is now";
    EXPECT_EQ(dialog.filled, std::vector<int>{2});
    EXPECT_EQ(f.host.engines_made, engines + 1) << "B's new lines were not started";
    EXPECT_EQ(f.core.params_form()->pos(Param::speed_scroll), 9);
    EXPECT_TRUE(f.core.running);
}

TEST(SaverWindowCore, HideStopsAndTheNextShowStartsAgain) {
    Fixture f;
    f.start();
    f.core.FormHide();
    EXPECT_FALSE(f.core.running);
    EXPECT_EQ(f.core.engine(), nullptr);
    EXPECT_EQ(f.core.params_form(), nullptr);
    EXPECT_NE(f.core.settings_file(), nullptr);
    EXPECT_FALSE(f.host.change.enabled);
    f.core.Frame_timer_event();
    EXPECT_EQ(f.host.frame_steps, 0);

    f.core.FormShow(false, 10);
    EXPECT_EQ(f.options.Error_text, Waiting_text);
    f.ticks(2);
    EXPECT_TRUE(f.core.running);
    EXPECT_EQ(f.host.engines_made, 2);

    f.core.FormDestroy();
    EXPECT_EQ(f.core.settings_file(), nullptr);
    EXPECT_EQ(f.core.engine(), nullptr);
}

TEST(SaverWindowCore, DisplayChangeStartsTheRingsAfreshAtTheNewSize) {
    Fixture f;
    f.start();
    const int shown = f.core.current_setting();
    const TimerSetting frame = f.host.frame, change = f.host.change;
    f.host.w = 1280;
    f.host.h = 1024;
    f.core.Display_changed();
    EXPECT_EQ(f.host.engines_made, 2);
    EXPECT_EQ(f.host.engine_size, (std::pair{1280, 1024}));
    EXPECT_EQ(f.core.current_setting(), shown);
    EXPECT_TRUE(f.core.running);
    EXPECT_EQ(timer(f.host.frame), timer(frame));
    EXPECT_EQ(timer(f.host.change), timer(change));

    // Frozen by the dialog, or hidden: nothing to rebuild.
    f.core.running = false;
    f.core.Display_changed();
    f.core.FormHide();
    f.core.Display_changed();
    EXPECT_EQ(f.host.engines_made, 2);

    // A message is centred again in the new size at the next tick.
    Fixture m("");
    m.show_message(640, 480, 100, 26);
    m.ticks(1);
    m.host.w = 1000;
    m.host.h = 800;
    m.core.Display_changed();
    m.host.drawn.clear();
    m.ticks(1);
    ASSERT_FALSE(m.host.drawn.empty());
    EXPECT_EQ(m.host.drawn[0].rect, (MessageRect{450, 387, 550, 413}));
    EXPECT_EQ(m.host.engines_made, 0);
}

TEST(ScreenLayout, RingsOrCoversOnTheOtherMonitors) {
    // The metrics' screen; a primary, left, above, right and a smaller one left, with negative
    // origins and sizes unlike the primary's.
    const ScreenRect M{0, 0, 1024, 768}, P{0, 0, 1920, 1080}, L{-1280, -200, 0, 824},
        A{0, -900, 1600, 0}, R{1920, 0, 4480, 1440}, S{-800, 84, 0, 684};
    const ScreenRect wide{1000, 0, 2920, 1080}; // reaching beyond the primary
    const struct {
        const char* what;
        std::vector<MonitorArea> monitors;
        ScreenRect saver;
        std::vector<ScreenRect> rings;
    } cases[] = {
        {"one monitor", {{P, true}}, P, {}},
        {"primary listed second", {{L, false}, {P, true}, {A, false}, {R, false}}, P, {L, A, R}},
        {"a smaller one left", {{P, true}, {S, false}}, P, {S}},
        {"a mirror", {{P, true}, {R, false}, {{1920, 0, 3200, 1024}, false}}, P, {R}},
        {"none marked primary", {{L, false}, {A, false}}, M, {L, A}},
        {"primary at a negative origin, mirrored", {{S, false}, {L, true}}, L, {}},
        {"primary listed last", {{L, false}, {A, false}, {P, true}}, P, {L, A}},
        {"no monitors reported", {}, M, {}},
        {"an empty primary does not count", {{{0, 0, 0, 0}, true}, {L, false}}, M, {L}},
        {"empty monitors get nothing", {{P, true}, {{5, 5, 5, 900}, false}}, P, {}},
        {"mirrors of the primary", {{P, true}, {P, false}, {M, false}}, P, {}},
        {"reaching beyond the primary", {{P, true}, {wide, false}}, P, {wide}},
        {"a second primary", {{P, true}, {L, true}}, P, {L}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const ScreenLayout rings = Lay_out_screens(c.monitors, M, true);
        EXPECT_EQ(rings.saver, c.saver);
        EXPECT_EQ(rings.rings, c.rings);
        EXPECT_TRUE(rings.covers.empty());
        // The same monitors in black: covers where the rings were.
        const ScreenLayout black = Lay_out_screens(c.monitors, M, false);
        EXPECT_EQ(black.saver, c.saver);
        EXPECT_EQ(black.covers, c.rings);
        EXPECT_TRUE(black.rings.empty());
    }
}

TEST(SaverTiming, CycleSeconds) {
    Window_random r;
    r.seed(12345);
    for (const auto& [min, max] : {std::pair{30, 30}, {1, 3}, {5, 3600}}) {
        int lo = max, hi = min;
        for (int i = 0; i < 3000; ++i) {
            const int s = cycle_seconds(min, max, r);
            lo = std::min(lo, s);
            hi = std::max(hi, s);
        }
        EXPECT_GE(lo, min);
        EXPECT_LE(hi, max);
        if (max - min < 10) {
            EXPECT_EQ(lo, min); // every value comes up
            EXPECT_EQ(hi, max);
        }
    }
    EXPECT_EQ(cycle_seconds(5, 4, r), 5); // empty span: Min_time
}
