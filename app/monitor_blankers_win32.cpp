#include "app/monitor_blankers_win32.h"
#include "app/win32_api.h"

namespace nimbrel {
namespace {

const char Blanker_class[] = "NimbrelMonitorBlanker";
const char Engine_property[] = "NimbrelEngine";

LRESULT CALLBACK blanker_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto saver = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA));
    auto* engine = static_cast<WindowEngine*>(GetPropA(window, Engine_property));
    switch (message) {
    case WM_ERASEBKGND: {
        if (engine) return 1; // the frame paints every pixel
        RECT r{};
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wparam), &r,
                 static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 1;
    }
    case WM_PAINT: {
        if (!engine) break;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        RECT r{};
        GetClientRect(window, &r);
        if (!engine->present(dc, r.right, r.bottom)) PatBlt(dc, 0, 0, r.right, r.bottom, BLACKNESS);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_DESTROY:
        RemovePropA(window, Engine_property);
        break;
    case WM_SETCURSOR:
        SetCursor(nullptr);
        return TRUE;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
    case WM_MOUSEWHEEL:
        // The saver judges mouse movement by the pointer's screen position, so the coordinates
        // relative to this window do no harm.
        if (saver && IsWindow(saver)) return SendMessageA(saver, message, wparam, lparam);
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

BOOL CALLBACK collect_monitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        const RECT& r = info.rcMonitor;
        reinterpret_cast<std::vector<MonitorArea>*>(data)->push_back(
            MonitorArea{ScreenRect{r.left, r.top, r.right, r.bottom},
                        (info.dwFlags & MONITORINFOF_PRIMARY) != 0});
    }
    return TRUE;
}

} // namespace

ScreenLayout current_screen_layout(bool rings_on_others) {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collect_monitor, reinterpret_cast<LPARAM>(&monitors));
    return Lay_out_screens(
        monitors, ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)},
        rings_on_others);
}

void MonitorBlankers::show_engine(HWND window, WindowEngine* engine) {
    if (engine)
        SetPropA(window, Engine_property, engine);
    else
        RemovePropA(window, Engine_property);
}

void MonitorBlankers::cover(HWND saver, const ScreenLayout& layout) {
    remove();
    for (const ScreenRect& r : layout.covers)
        if (HWND window = open(saver, r)) windows_.push_back(window);
    for (const ScreenRect& r : layout.rings) {
        if (HWND window = open(saver, r)) {
            windows_.push_back(window);
            ring_windows_.push_back(window);
        }
    }
}

HWND MonitorBlankers::open(HWND saver, const ScreenRect& r) {
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, Blanker_class, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = blanker_proc;
        wc.hInstance = instance;
        wc.lpszClassName = Blanker_class;
        RegisterClassA(&wc);
    }
    HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                  Blanker_class, "", WS_POPUP, r.left, r.top, r.right - r.left,
                                  r.bottom - r.top, saver, nullptr, instance, nullptr);
    if (!window) return nullptr;
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(saver));
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

void MonitorBlankers::remove() {
    for (HWND window : windows_)
        if (IsWindow(window)) DestroyWindow(window);
    windows_.clear();
    ring_windows_.clear();
}

} // namespace nimbrel
