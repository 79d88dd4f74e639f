#include "app/display_switch.h"
#include "app/thinking_box_layout.h"

#include <gtest/gtest.h>

#include <vector>

using namespace nimbrel;

namespace {

class FakeDisplay : public DisplayModes {
  public:
    DisplayFormat now{32, 1024, 768};
    std::vector<DisplayFormat> modes;
    std::vector<ChangeAnswer> answers; // one per change_to call, in order
    std::vector<std::pair<int, bool>> changes;
    std::vector<bool> restores;
    int enumerated = 0;

    DisplayFormat current() override { return now; }
    bool mode(int index, DisplayFormat& out) override {
        ++enumerated;
        if (index < 0 || index >= static_cast<int>(modes.size())) return false;
        out = modes[static_cast<std::size_t>(index)];
        return true;
    }
    ChangeAnswer change_to(int index, bool forced) override {
        changes.emplace_back(index, forced);
        return changes.size() <= answers.size() ? answers[changes.size() - 1]
                                                : ChangeAnswer::failed;
    }
    void restore(bool forced) override { restores.push_back(forced); }
};

const std::vector<DisplayFormat> Usual_modes = {{8, 640, 480},   {8, 1024, 768}, {16, 1024, 768},
                                                {32, 1024, 768}, {8, 1024, 768}, {8, 800, 600}};

std::string line(const char* text) {
    return std::string(text) + "\r\n";
}

} // namespace

TEST(DisplaySwitch, DecisionsWithoutEmulation) {
    using A = ChangeAnswer;
    struct Case {
        const char* name;
        int bits;
        std::vector<DisplayFormat> modes;
        bool not_full_screen, refuse_change, refuse_force;
        std::vector<A> answers;
        bool result;
        std::string text;
        std::vector<std::pair<int, bool>> changes;
        bool not_256, changed, forced;
    } cases[] = {
        {"already 8 bits: nothing at all",
         8,
         Usual_modes,
         false,
         false,
         false,
         {},
         true,
         "",
         {},
         false,
         false,
         false},
        {"no 8-bit mode of this size",
         32,
         {{8, 640, 480}, {32, 1024, 768}},
         false,
         false,
         false,
         {},
         false,
         line(No_256_mode_text),
         {},
         false,
         false,
         false},
        {"no 8-bit mode, preview too",
         16,
         {{16, 1024, 768}},
         true,
         false,
         false,
         {},
         false,
         line(No_256_mode_text),
         {},
         false,
         false,
         false},
        {"preview on a deeper display: only the flag",
         32,
         Usual_modes,
         true,
         false,
         false,
         {},
         true,
         "",
         {},
         true,
         false,
         false},
        {"defaults refuse the change",
         16,
         Usual_modes,
         false,
         true,
         true,
         {},
         false,
         line(Change_refused_text),
         {},
         false,
         false,
         false},
        {"changed; the last matching mode wins",
         32,
         Usual_modes,
         false,
         false,
         true,
         {A::successful},
         true,
         "",
         {{4, false}},
         false,
         true,
         false},
        {"restart needed, force refused",
         32,
         Usual_modes,
         false,
         false,
         true,
         {A::restart_needed},
         false,
         line(Force_refused_text),
         {{4, false}},
         false,
         false,
         false},
        {"restart needed, forced change works",
         32,
         Usual_modes,
         false,
         false,
         false,
         {A::restart_needed, A::successful},
         true,
         "",
         {{4, false}, {4, true}},
         false,
         true,
         true},
        {"restart needed twice",
         32,
         Usual_modes,
         false,
         false,
         false,
         {A::restart_needed, A::restart_needed},
         false,
         line(Needs_reboot_text),
         {{4, false}, {4, true}},
         false,
         false,
         false},
        {"forced change fails otherwise",
         32,
         Usual_modes,
         false,
         false,
         false,
         {A::restart_needed, A::failed},
         false,
         line(Needs_reboot_text),
         {{4, false}, {4, true}},
         false,
         false,
         false},
        {"change fails",
         32,
         Usual_modes,
         false,
         false,
         false,
         {A::failed},
         false,
         line(Change_failed_text),
         {{4, false}},
         false,
         false,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDisplay display;
        display.now.bits_per_pixel = c.bits;
        display.modes = c.modes;
        display.answers = c.answers;
        DisplayFlags flags{true, true}; // cleared first
        not_256_mode() = false;
        Startup_report report;
        report.Error_text = "before\r\n";
        const DisplayPolicy policy{c.refuse_change, c.refuse_force, false};

        EXPECT_EQ(Switch_to_256_colours(display, policy, report, c.not_full_screen, flags),
                  c.result);
        EXPECT_EQ(report.Error_text, "before\r\n" + c.text);
        EXPECT_EQ(report.Error_set == 0, c.text.empty());
        EXPECT_EQ(display.changes, c.changes);
        EXPECT_EQ(not_256_mode(), c.not_256);
        EXPECT_EQ(flags.mode_changed, c.changed);
        EXPECT_EQ(flags.mode_forced, c.forced);
        if (c.bits == 8) {
            EXPECT_EQ(display.enumerated, 0);
        }

        Restore_screen_mode(display, flags);
        if (c.changed) {
            EXPECT_EQ(display.restores, std::vector<bool>{c.forced});
        } else {
            EXPECT_TRUE(display.restores.empty());
        }
    }
    not_256_mode() = false;
}

TEST(DisplaySwitch, EmulationNeverTouchesTheDisplay) {
    for (int bits : {8, 16, 32}) {
        for (bool not_full_screen : {false, true}) {
            FakeDisplay display;
            display.now.bits_per_pixel = bits;
            display.modes = {{32, 1024, 768}}; // not even an 8-bit mode
            DisplayFlags flags{true, true};
            not_256_mode() = false;
            Startup_report report;
            const DisplayPolicy policy{false, false, true};
            EXPECT_TRUE(Switch_to_256_colours(display, policy, report, not_full_screen, flags));
            EXPECT_EQ(report.Error_set, 0);
            EXPECT_TRUE(display.changes.empty());
            EXPECT_FALSE(not_256_mode());
            EXPECT_FALSE(flags.mode_changed);
            Restore_screen_mode(display, flags);
            EXPECT_TRUE(display.restores.empty());
        }
    }
}

TEST(ThinkingBoxLayout, SizesFromTheCharacterCell) {
    struct Case {
        const char* name;
        std::string text;
        int cw, ch, sw, sh;
        bool bar;
        BoxRect box, bar_rect;
    } cases[] = {
        {"20 characters", std::string(20, 'x'), 8, 15, 1024, 768, false, {426, 373, 172, 21}, {}},
        {"with the bar",
         std::string(20, 'x'),
         8,
         15,
         1024,
         768,
         true,
         {426, 361, 172, 45},
         {4, 4, 164, 16}},
        {"empty text", "", 8, 15, 1024, 768, false, {506, 373, 12, 21}, {}},
        {"wider than the screen",
         std::string(200, 'x'),
         8,
         15,
         800,
         600,
         false,
         {-406, 289, 1612, 21},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ThinkingBoxLayout l = thinking_box_layout(c.text, c.cw, c.ch, c.sw, c.sh, c.bar);
        EXPECT_EQ(l.box, c.box);
        EXPECT_EQ(l.bar, c.bar_rect);
    }
}
