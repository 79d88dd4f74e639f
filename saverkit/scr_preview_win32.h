// Previews live in somebody else's window. The kit never subclasses that window: it puts a
// small child window of its own into it (the proxy window), makes the preview form a child of
// that, and learns that the host went away when the proxy window is destroyed with it.
#pragma once

#include "saverkit/form_win32.h"

#include <functional>

namespace nimbrel {

class TProxy;
using TProxyDestroyEvent =
    std::function<void(TProxy* owner, HWND window, UINT message, WPARAM wparam, LPARAM lparam)>;

class TProxy : public TComponent, public Window {
  public:
    explicit TProxy(TComponent* owner);
    ~TProxy() override;
    const char* ClassName() const override { return "TProxy"; }

    // Leaves the previous host (destroying the proxy window) and covers `host`'s client area.
    void Attach(HWND host);
    HWND GetHost() const;
    HWND Handle() const { return hwnd(); }

    TProxyDestroyEvent OnPxDestroy;

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    // Every message of the proxy window comes here first.
    virtual void HostMessage(UINT message, WPARAM wparam, LPARAM lparam);
};

// The black "KestovBlurb" window shown when no form is free for a preview.
bool RegisterPlaceholderClass();
HWND CreatePlaceholder(HWND host);

// Finds or starts the external preview program; its first child window, or null (each failure
// is told in a message box).
HWND FindExternalPreview();

} // namespace nimbrel
