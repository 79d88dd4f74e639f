// Where the full-screen saver goes for the monitors the system reports: its window on the primary
// monitor, and on each other one either a window with rings of its own or a black cover. Worked
// out anew whenever the displays change (a monitor wakes, is docked or changes resolution).
#pragma once

#include "settings/options.h"

#include <cstdint>
#include <vector>

namespace nimbrel {

struct ScreenRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const ScreenRect& a, const ScreenRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

struct MonitorArea {
    ScreenRect rect; // virtual-screen coordinates
    bool primary = false;
};

struct ScreenLayout {
    ScreenRect saver;
    std::vector<ScreenRect> covers; // black
    std::vector<ScreenRect> rings;  // other monitors with rings of their own
};

// The saver takes the first primary monitor, or `primary_screen` (the primary screen's size from
// the system metrics) when the list names none. Every other monitor gets rings of its own when
// `rings_on_others`, else a cover, except empty ones and ones that lie within the saver's or an
// earlier monitor's area (a mirrored monitor): a window there would hide the one below or draw
// the same pixels twice.
ScreenLayout Lay_out_screens(const std::vector<MonitorArea>& monitors,
                             const ScreenRect& primary_screen, bool rings_on_others = false);

// Whether the other monitors show rings of their own. Not with a hardware palette (a real
// 256-colour mode): there is one palette for the whole display, and it belongs to the saver's
// window, so the others stay black.
inline bool Rings_on_other_monitors(Other_monitors_mode mode, bool hardware_palette) {
    return mode == Other_monitors_mode::rings && !hardware_palette;
}

} // namespace nimbrel
