// One window of this program: the object owns its HWND and destroys it with itself. The window's
// user-data word holds the object, and the one class procedure hands every message to the
// virtual WndProc.
#pragma once

#include "app/win32_api.h"

namespace nimbrel {

// Registers a window class of this module once; an existing class counts as success.
bool EnsureWindowClass(const char* name, WNDPROC procedure, UINT style, HBRUSH background,
                       HCURSOR cursor = nullptr, HICON icon = nullptr);

class Window {
  public:
    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // The derived parts are gone by now, so no message of the dying window reaches WndProc.
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    // The object behind one of our windows, or null.
    static Window* FromHandle(HWND window);

  protected:
    struct Class {
        const char* name;
        UINT style = 0;
        HBRUSH background = nullptr;
        HCURSOR cursor = nullptr; // null: the arrow
    };
    // Registers `window_class` once and creates the window; false when either fails.
    bool Create(const Class& window_class, const char* caption, DWORD style, DWORD ex_style, int x,
                int y, int width, int height, HWND parent, UINT_PTR id = 0);
    // Destroys the window without a message of it reaching WndProc.
    void Destroy();
    // A window the system made for this object (a dialog's); null: it is gone.
    void Adopt(HWND window) { hwnd_ = window; }
    virtual LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam);

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// Shows the exception being handled; a window procedure must not let it unwind through the
// system's frames. The application defines it.
void HandleWindowException();

} // namespace nimbrel
