#include "app/display_timing_win32.h"

#include "saverkit/library_win32.h"

namespace nimbrel {
namespace {

// Loaded when asked and released at once: systems before Vista have no compositor library.
bool composition_enabled() {
    const Library dwm("dwmapi.dll");
    using Query = HRESULT(WINAPI*)(BOOL*);
    const auto query = dwm.entry<Query>("DwmIsCompositionEnabled");
    BOOL enabled = FALSE;
    return query && SUCCEEDED(query(&enabled)) && enabled;
}

} // namespace

Display_timing current_display_timing(HWND window) {
    MONITORINFOEXA monitor{};
    monitor.cbSize = sizeof monitor;
    const char* device = nullptr; // the primary display
    if (window && GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &monitor))
        device = monitor.szDevice;
    DEVMODEA mode{};
    mode.dmSize = sizeof mode;
    Display_timing timing;
    if (EnumDisplaySettingsA(device, ENUM_CURRENT_SETTINGS, &mode) &&
        (mode.dmFields & DM_DISPLAYFREQUENCY))
        timing.refresh_hz = static_cast<std::int32_t>(mode.dmDisplayFrequency);
    timing.compositor = composition_enabled();
    return timing;
}

} // namespace nimbrel
