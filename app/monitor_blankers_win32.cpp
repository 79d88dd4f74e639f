#include "app/monitor_blankers_win32.h"
#include "app/win32_api.h"

namespace nimbrel {
namespace {

const char Blanker_class[] = "NimbrelMonitorBlanker";

LRESULT CALLBACK blanker_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    auto saver = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
    case WM_ERASEBKGND: {
        RECT r{};
        GetClientRect(window, &r);
        FillRect(reinterpret_cast<HDC>(wparam), &r,
                 static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        return 1;
    }
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

ScreenLayout current_screen_layout() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, collect_monitor, reinterpret_cast<LPARAM>(&monitors));
    return Lay_out_screens(
        monitors, ScreenRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)});
}

void MonitorBlankers::cover(HWND saver, const std::vector<ScreenRect>& areas) {
    remove();
    if (areas.empty()) return;
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc{};
    if (!GetClassInfoA(instance, Blanker_class, &wc)) {
        wc = WNDCLASSA{};
        wc.lpfnWndProc = blanker_proc;
        wc.hInstance = instance;
        wc.lpszClassName = Blanker_class;
        RegisterClassA(&wc);
    }
    for (const ScreenRect& r : areas) {
        HWND window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                      Blanker_class, "", WS_POPUP, r.left, r.top, r.right - r.left,
                                      r.bottom - r.top, saver, nullptr, instance, nullptr);
        if (!window) continue;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(saver));
        ShowWindow(window, SW_SHOWNOACTIVATE);
        windows_.push_back(window);
    }
}

void MonitorBlankers::remove() {
    for (HWND window : windows_)
        if (IsWindow(window)) DestroyWindow(window);
    windows_.clear();
}

} // namespace nimbrel
