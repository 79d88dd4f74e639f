#include "saverkit/window_win32.h"

namespace nimbrel {

bool EnsureWindowClass(const char* name, WNDPROC procedure, UINT style, HBRUSH background,
                       HCURSOR cursor, HICON icon) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    if (GetClassInfoExA(instance, name, &wc)) return true;
    wc.style = style;
    wc.lpfnWndProc = procedure;
    wc.hInstance = instance;
    wc.hbrBackground = background;
    wc.hCursor = cursor;
    wc.hIcon = icon;
    wc.lpszClassName = name;
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
    if (!EnsureWindowClass(window_class.name, proc, window_class.style, window_class.background,
                           window_class.cursor ? window_class.cursor
                                               : LoadCursorA(nullptr, IDC_ARROW)))
        return false;
    HWND window =
        CreateWindowExA(ex_style, window_class.name, caption, style, x, y, width, height, parent,
                        reinterpret_cast<HMENU>(id), GetModuleHandleA(nullptr), this);
    if (window) hwnd_ = window;
    return window != nullptr;
}

void Window::Destroy() {
    if (!hwnd_) return;
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
    hwnd_ = nullptr;
}

LRESULT Window::WndProc(UINT message, WPARAM wparam, LPARAM lparam) {
    return DefWindowProcA(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK Window::proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    Window* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams);
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
        HandleWindowException();
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        if (self->hwnd_ == window) self->hwnd_ = nullptr;
    }
    return result;
}

} // namespace nimbrel
