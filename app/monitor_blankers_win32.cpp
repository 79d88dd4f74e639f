#include "app/monitor_blankers_win32.h"
#include "app/win32_api.h"

namespace nimbrel {
namespace {

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

// One window over another monitor. Its owner is the saver window, which gets its input.
class MonitorBlankers::Blanker : public Window {
  public:
    Blanker(HWND saver, const ScreenRect& r) : saver_(saver) {
        if (Create({"NimbrelMonitorBlanker"}, "", WS_POPUP,
                   WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, r.left, r.top,
                   r.right - r.left, r.bottom - r.top, saver))
            ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    }
    WindowEngine* engine = nullptr;

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override {
        switch (message) {
        case WM_ERASEBKGND: {
            if (engine) return 1; // the frame paints every pixel
            RECT r{};
            GetClientRect(hwnd(), &r);
            FillRect(reinterpret_cast<HDC>(wparam), &r,
                     static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
            return 1;
        }
        case WM_PAINT: {
            if (!engine) break;
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd(), &ps);
            RECT r{};
            GetClientRect(hwnd(), &r);
            if (!engine->present(dc, r.right, r.bottom))
                PatBlt(dc, 0, 0, r.right, r.bottom, BLACKNESS);
            EndPaint(hwnd(), &ps);
            return 0;
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
            // The saver judges mouse movement by the pointer's screen position, so the
            // coordinates relative to this window do no harm.
            return IsWindow(saver_) ? SendMessageA(saver_, message, wparam, lparam) : 0;
        default:
            break;
        }
        return Window::WndProc(message, wparam, lparam);
    }

  private:
    HWND saver_;
};

MonitorBlankers::MonitorBlankers() = default;

MonitorBlankers::~MonitorBlankers() {
    remove();
}

void MonitorBlankers::show_engine(HWND window, WindowEngine* engine) {
    if (auto* blanker = dynamic_cast<Blanker*>(Window::FromHandle(window)))
        blanker->engine = engine;
}

void MonitorBlankers::cover(HWND saver, const ScreenLayout& layout) {
    remove();
    for (const ScreenRect& r : layout.covers)
        blankers_.push_back(std::make_unique<Blanker>(saver, r));
    for (const ScreenRect& r : layout.rings) {
        blankers_.push_back(std::make_unique<Blanker>(saver, r));
        if (HWND window = blankers_.back()->hwnd()) ring_windows_.push_back(window);
    }
}

void MonitorBlankers::remove() {
    blankers_.clear();
    ring_windows_.clear();
}

} // namespace nimbrel
