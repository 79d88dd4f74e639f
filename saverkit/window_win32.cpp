#include "saverkit/window_win32.h"

#include "saverkit/scr_mode.h"

#include <exception>
#include <stdexcept>

namespace nimbrel {
namespace {

// The object whose window this thread is creating: its first messages come before
// CreateWindowEx returns. The creation parameter is not used, since a dialog's control gets its
// own there.
thread_local Window* creating = nullptr;

std::string application_title;
ScrMessageBoxHook message_box_hook;

} // namespace

bool Window::Register(const Class& window_class) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExA(instance, window_class.name, &wc)) return true;
    wc.style = window_class.style;
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.hbrBackground = window_class.background;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = window_class.name;
    return RegisterClassExA(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

Window::~Window() {
    Destroy();
}

Window* Window::FromHandle(HWND window) {
    if (!window || !IsWindow(window)) return nullptr;
    if (reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)) != proc) return nullptr;
    return reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool Window::Create(const Class& window_class, const char* caption, DWORD style, DWORD ex_style,
                    int x, int y, int width, int height, HWND parent, UINT_PTR id) {
    if (!Register(window_class)) return false;
    creating = this;
    HWND window =
        CreateWindowExA(ex_style, window_class.name, caption, style, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), nullptr);
    creating = nullptr;
    if (window) hwnd_ = window;
    return window != nullptr;
}

void Window::Destroy() {
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

void Window::Attach(HWND window) {
    if (hwnd_ && IsWindow(hwnd_)) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    hwnd_ = window;
    if (hwnd_) SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

LRESULT Window::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE && creating) {
        self = creating;
        creating = nullptr;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->hwnd_ = window;
    } else {
        self = reinterpret_cast<Window*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcA(window, message, wparam, lparam);

    LRESULT result = 0;
    try {
        result = self->WndProc(message, wparam, lparam);
    } catch (...) {
        HandleException();
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (self->hwnd_ == window) self->hwnd_ = nullptr;
    }
    return result;
}

// ---------------------------------------------------------------------------------------------
TUtilityWindow::TUtilityWindow(Handler handler) : handler_(std::move(handler)) {
    if (!Create({"NimbrelUtilWindow"}, "", 0, 0, 0, 0, 0, 0, HWND_MESSAGE))
        throw std::runtime_error("Error creating a utility window");
}

LRESULT TUtilityWindow::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return handler_ ? handler_(hwnd(), message, wparam, lparam)
                    : Window::WndProc(message, wparam, lparam);
}

// ---------------------------------------------------------------------------------------------
TApplicationWindow::TApplicationWindow(const std::string& title) {
    application_title = title;
    if (!Create({"ZedezaridOvodiroApp", CS_GLOBALCLASS | CS_HREDRAW | CS_VREDRAW,
                 static_cast<HBRUSH>(GetStockObject(NULL_BRUSH))},
                title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0,
                GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0,
                nullptr)) {
        ScrMessageBox(nullptr, "Failed to register ZedezaridOvodiro window class", "Error");
        return;
    }
    SendMessageA(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(ApplicationIcon()));
}

TApplicationWindow::~TApplicationWindow() {
    application_title.clear();
}

LRESULT TApplicationWindow::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    // No other saver may start on top of the running one.
    if (message == WM_SYSCOMMAND && (wparam & 0xFFF0) == SC_SCREENSAVE && GetScrMode() == smSFull)
        return 0;
    return Window::WndProc(message, wparam, lparam);
}

const std::string& ApplicationTitle() {
    return application_title;
}

HICON ApplicationIcon() {
    static const HICON icon = [] {
        HICON own = LoadIconA(GetModuleHandleA(nullptr), "MAINICON");
        return own ? own : LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
    }();
    return icon;
}

void RunMessageLoop() {
    MSG message{};
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void HandleException() {
    std::string text = "Unknown exception";
    try {
        throw;
    } catch (const std::exception& error) {
        text = error.what();
    } catch (...) {
    }
    if (!text.empty() && text.back() != '.') text += '.';
    ScrMessageBox(GetActiveWindow(), text, application_title, MB_OK | MB_ICONSTOP);
}

void SetScrMessageBoxHook(ScrMessageBoxHook hook) {
    message_box_hook = std::move(hook);
}

int ScrMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT flags) {
    if (message_box_hook) return message_box_hook(owner, text, caption);
    return MessageBoxA(owner, text.c_str(), caption.c_str(), flags);
}

} // namespace nimbrel
