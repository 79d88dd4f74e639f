// Black windows over every monitor but the primary one while the full-screen saver runs there.
// Input on them is handed to the saver window, so moving the mouse or clicking over another
// monitor ends the saver as it does over the rings.
#pragma once

#include "app/win32_api.h"

#include <vector>

namespace nimbrel {

class MonitorBlankers {
  public:
    MonitorBlankers() = default;
    ~MonitorBlankers() { remove(); }
    MonitorBlankers(const MonitorBlankers&) = delete;
    MonitorBlankers& operator=(const MonitorBlankers&) = delete;

    void cover_other_monitors(HWND saver);
    void remove();
    const std::vector<HWND>& windows() const { return windows_; }

  private:
    std::vector<HWND> windows_;
};

// The monitors' rectangles in virtual-screen coordinates, the primary one left out.
std::vector<RECT> other_monitor_rects();

} // namespace nimbrel
