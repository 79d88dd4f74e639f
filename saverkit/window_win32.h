// One window of this program: the object owns its HWND and destroys it with itself. The window's
// user-data word holds the object, and the one class procedure hands every message to the
// virtual WndProc. Also the few things of the whole process every window relies on: the
// application's title and icon, the message loop, message boxes and exceptions.
#pragma once

#include "app/win32_api.h"

#include <functional>
#include <string>

namespace nimbrel {

// The application message the kit's windows talk with.
constexpr UINT CM_SCR = 0x8000; // WM_APP

class Window {
  public:
    struct Class {
        const char* name;
        UINT style = 0;
        HBRUSH background = nullptr;
    };
    // Registers `window_class` once, its messages going to the windows' objects; an existing
    // class counts as success.
    static bool Register(const Class& window_class);

    Window() = default;
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    // The derived parts are gone by now, so no message of the dying window reaches WndProc.
    virtual ~Window();

    HWND hwnd() const { return hwnd_; }
    // The object behind one of our windows, or null.
    static Window* FromHandle(HWND window);

  protected:
    // Registers `window_class` and creates the window; false when either fails.
    bool Create(const Class& window_class, const char* caption, DWORD style, DWORD ex_style, int x,
                int y, int width, int height, HWND parent, UINT_PTR id = 0);
    // Destroys the window without a message of it reaching WndProc.
    void Destroy();
    // Takes over a window of a registered class that somebody else made (a dialog's control);
    // null lets the current one go without destroying it.
    void Attach(HWND window);
    // A window the system made for this object (a dialog's); null: it is gone.
    void Adopt(HWND window) { hwnd_ = window; }
    virtual LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam);

  private:
    static LRESULT CALLBACK proc(HWND, UINT, WPARAM, LPARAM);
    HWND hwnd_ = nullptr;
};

// A message-only window whose messages go to a handler.
class TUtilityWindow : public Window {
  public:
    using Handler = std::function<LRESULT(HWND, UINT, WPARAM, LPARAM)>;
    explicit TUtilityWindow(Handler handler);
    HWND Handle() const { return hwnd(); }

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    Handler handler_;
};

// The application's hidden top-level window: it carries the title and the icon, and keeps
// another saver from starting over a full-screen run. The entry procedure keeps it for the run.
class TApplicationWindow : public Window {
  public:
    explicit TApplicationWindow(const std::string& title);
    ~TApplicationWindow() override;

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
};

// The caption of the application's message boxes (empty while there is no application window)
// and the program's icon.
const std::string& ApplicationTitle();
HICON ApplicationIcon();

// Dispatches messages until the quit message.
void RunMessageLoop();

// Shows the exception being handled (call it from a catch block). A window procedure must not
// let one unwind through the system's frames.
void HandleException();

// The kit's message boxes; tests replace the box with a hook (null restores it).
using ScrMessageBoxHook =
    std::function<int(HWND owner, const std::string& text, const std::string& caption)>;
void SetScrMessageBoxHook(ScrMessageBoxHook hook);
int ScrMessageBox(HWND owner, const std::string& text, const std::string& caption,
                  UINT flags = MB_OK);

} // namespace nimbrel
