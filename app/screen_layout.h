// Where the full-screen saver and the black covers go for the monitors the system reports: the
// rings on the primary monitor, a cover on each other one. Worked out anew whenever the displays
// change (a monitor wakes, is docked or changes resolution).
#pragma once

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
    std::vector<ScreenRect> covers;
};

// The saver takes the first primary monitor, or `primary_screen` (the primary screen's size from
// the system metrics) when the list names none. Every other monitor gets a cover, except empty
// ones and ones that lie within the saver's (a mirrored monitor): a cover there would hide the
// rings.
ScreenLayout Lay_out_screens(const std::vector<MonitorArea>& monitors,
                             const ScreenRect& primary_screen);

} // namespace nimbrel
