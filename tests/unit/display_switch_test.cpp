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
    std::string answers; // one per change_to call: 's'uccessful, 'r'estart needed, else failed
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
        const char a = changes.size() <= answers.size() ? answers[changes.size() - 1] : 'f';
        return a == 's'   ? ChangeAnswer::successful
               : a == 'r' ? ChangeAnswer::restart_needed
                          : ChangeAnswer::failed;
    }
    void restore(bool forced) override { restores.push_back(forced); }
};

const std::vector<DisplayFormat> Usual_modes = {{8, 640, 480},   {8, 1024, 768}, {16, 1024, 768},
                                                {32, 1024, 768}, {8, 1024, 768}, {8, 800, 600}};
const std::vector<DisplayFormat> No_8_bit_here = {{8, 640, 480}, {32, 1024, 768}};

enum : int { Preview = 1, No_change = 2, No_force = 4, Emulate = 8 }; // run mode and policy
enum : int { Not_256 = 1, Changed = 2, Forced = 4 };                  // flags afterwards

} // namespace

TEST(DisplaySwitch, Decisions) {
    const struct {
        const char* name;
        int bits;
        const std::vector<DisplayFormat>& modes;
        int setup;
        const char* answers;
        const char* error; // nullptr: runs
        int flags;
    } cases[] = {
        {"already 8 bits: nothing at all", 8, Usual_modes, 0, "", nullptr, 0},
        {"no 8-bit mode of this size", 32, No_8_bit_here, 0, "", No_256_mode_text, 0},
        {"no 8-bit mode, preview too", 16, No_8_bit_here, Preview, "", No_256_mode_text, 0},
        {"preview on a deeper display: only the flag", 32, Usual_modes, Preview, "", nullptr,
         Not_256},
        {"defaults refuse the change", 16, Usual_modes, No_change | No_force, "",
         Change_refused_text, 0},
        {"changed; the last matching mode wins", 32, Usual_modes, No_force, "s", nullptr, Changed},
        {"restart needed, force refused", 32, Usual_modes, No_force, "r", Force_refused_text, 0},
        {"restart needed, forced change works", 32, Usual_modes, 0, "rs", nullptr,
         Changed | Forced},
        {"restart needed twice", 32, Usual_modes, 0, "rr", Needs_reboot_text, 0},
        {"forced change fails otherwise", 32, Usual_modes, 0, "rf", Needs_reboot_text, 0},
        {"change fails", 32, Usual_modes, 0, "f", Change_failed_text, 0},
        // An emulated palette never touches the display, whatever its depth and modes.
        {"emulated, no 8-bit mode", 32, No_8_bit_here, Emulate | No_change, "", nullptr, 0},
        {"emulated preview", 16, Usual_modes, Emulate | Preview, "", nullptr, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeDisplay display;
        display.now.bits_per_pixel = c.bits;
        display.modes = c.modes;
        display.answers = c.answers;
        DisplayFlags flags{true, true}; // cleared first
        not_256_mode() = false;
        Startup_report report;
        report.Error_text = "before\r\n";
        const DisplayPolicy policy{(c.setup & No_change) != 0, (c.setup & No_force) != 0,
                                   (c.setup & Emulate) != 0};

        EXPECT_EQ(Switch_to_256_colours(display, policy, report, c.setup & Preview, flags),
                  !c.error);
        EXPECT_EQ(report.Error_text, "before\r\n" + (c.error ? c.error + std::string("\r\n") : ""));
        EXPECT_EQ(report.Error_set == 0, !c.error);
        std::vector<std::pair<int, bool>> changes; // mode 4, forced on the second try
        for (std::size_t i = 0; c.answers[i]; ++i)
            changes.emplace_back(4, i > 0);
        EXPECT_EQ(display.changes, changes);
        EXPECT_EQ(not_256_mode(), (c.flags & Not_256) != 0);
        EXPECT_EQ(flags.mode_changed, (c.flags & Changed) != 0);
        EXPECT_EQ(flags.mode_forced, (c.flags & Forced) != 0);
        if (c.bits == 8) {
            EXPECT_EQ(display.enumerated, 0);
        }

        Restore_screen_mode(display, flags);
        EXPECT_EQ(display.restores, c.flags & Changed ? std::vector<bool>{(c.flags & Forced) != 0}
                                                      : std::vector<bool>{});
    }
    not_256_mode() = false;
}

TEST(ThinkingBoxLayout, SizesFromTheCharacterCell) {
    const struct {
        int chars, screen_w, screen_h;
        bool bar;
        int dpi, cell_w, cell_h;
        BoxRect box, bar_rect;
        int bar_panel;
    } cases[] = {
        {20, 1024, 768, false, 96, 8, 15, {426, 373, 172, 21}, {}, 0},
        {20, 1024, 768, true, 96, 8, 15, {426, 361, 172, 45}, {4, 4, 164, 16}, 24},
        {0, 1024, 768, false, 96, 8, 15, {506, 373, 12, 21}, {}, 0},
        {200, 800, 600, false, 96, 8, 15, {-406, 289, 1612, 21}, {}, 0}, // wider than the screen
        // At 150 % the font's cell is 1.5 times as big, and so are margins, bar and its panel.
        {20, 1536, 1152, true, 144, 12, 23, {639, 542, 258, 68}, {6, 6, 246, 24}, 36},
        {20, 2048, 1536, false, 192, 16, 30, {852, 747, 344, 42}, {}, 0},
    };
    for (const auto& c : cases) {
        const auto l = thinking_box_layout(std::string(c.chars, 'x'), c.cell_w, c.cell_h,
                                           c.screen_w, c.screen_h, c.bar, c.dpi);
        EXPECT_EQ(l.box, c.box) << c.chars << " at " << c.dpi;
        EXPECT_EQ(l.bar, c.bar_rect) << c.chars << " at " << c.dpi;
        EXPECT_EQ(l.bar_panel, c.bar_panel) << c.chars << " at " << c.dpi;
    }
}
