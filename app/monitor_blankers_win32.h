// Black windows over every monitor but the primary one while the full-screen saver runs there.
// Input on them is handed to the saver window, so moving the mouse or clicking over another
// monitor ends the saver as it does over the rings.
#pragma once

#include "app/screen_layout.h"
#include "app/win32_api.h"

#include <vector>

namespace nimbrel {

class MonitorBlankers {
  public:
    MonitorBlankers() = default;
    ~MonitorBlankers() { remove(); }
    MonitorBlankers(const MonitorBlankers&) = delete;
    MonitorBlankers& operator=(const MonitorBlankers&) = delete;

    // Black windows over `areas` (any there were before go first), owned by the saver window.
    void cover(HWND saver, const std::vector<ScreenRect>& areas);
    void remove();
    const std::vector<HWND>& windows() const { return windows_; }

  private:
    std::vector<HWND> windows_;
};

// Where the saver and the covers go on the monitors the system reports now.
ScreenLayout current_screen_layout();

} // namespace nimbrel
