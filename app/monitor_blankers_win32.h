// The windows over every monitor but the primary one while the full-screen saver runs there:
// black covers, or windows that show the rings of an engine of their own. Input on them is handed
// to the saver window, so moving the mouse or clicking over another monitor ends the saver as it
// does over the primary one.
#pragma once

#include "app/screen_layout.h"
#include "app/win32_api.h"
#include "app/window_engine_win32.h"
#include "saverkit/window_win32.h"

#include <memory>
#include <vector>

namespace nimbrel {

class MonitorBlankers {
  public:
    MonitorBlankers();
    ~MonitorBlankers();
    MonitorBlankers(const MonitorBlankers&) = delete;
    MonitorBlankers& operator=(const MonitorBlankers&) = delete;

    // Windows over the layout's covers and ring monitors (any there were before go first), owned
    // by the saver window. The ring windows are black until shown an engine.
    void cover(HWND saver, const ScreenLayout& layout);
    void remove();
    const std::vector<HWND>& ring_windows() const { return ring_windows_; }
    // The engine whose last frame a ring window repaints; null for none.
    static void show_engine(HWND window, WindowEngine* engine);

  private:
    class Blanker;
    std::vector<std::unique_ptr<Blanker>> blankers_; // all of them
    std::vector<HWND> ring_windows_;
};

// Where the saver and the other monitors' windows go on the monitors the system reports now.
ScreenLayout current_screen_layout(bool rings_on_others);

} // namespace nimbrel
