// Previews live in somebody else's window. The kit never subclasses that window: it puts a
// small child window of its own into it (the proxy window), makes the preview form a child of
// that, and learns that the host went away when the proxy window is destroyed with it.
#pragma once

#include "saverkit/window_win32.h"

#include <functional>
#include <memory>

namespace nimbrel {

class TProxy : public Window {
  public:
    ~TProxy() override;

    // Leaves the previous host (destroying the proxy window) and covers `host`'s client area.
    void Attach(HWND host);
    HWND Handle() const { return hwnd(); }

    // Raised when the proxy window is destroyed (with its host), with the window that went.
    std::function<void(TProxy* proxy, HWND window)> OnPxDestroy;

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
};

// The black "KestovBlurb" window shown in `host` when no form is free for a preview; it goes
// with its host.
bool RegisterPlaceholderClass();
std::unique_ptr<Window> MakePlaceholder(HWND host);

// Finds or starts the external preview program; its first child window, or null (each failure
// is told in a message box).
HWND FindExternalPreview();

} // namespace nimbrel
