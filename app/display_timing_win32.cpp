#include "app/display_timing_win32.h"

namespace nimbrel {
namespace {

// Loaded when asked and released at once: systems before Vista have no compositor library.
bool composition_enabled() {
    HMODULE library = LoadLibraryA("dwmapi.dll");
    if (!library) return false;
    using Query = HRESULT(WINAPI*)(BOOL*);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(library, "DwmIsCompositionEnabled")));
    BOOL enabled = FALSE;
    const bool on = query && SUCCEEDED(query(&enabled)) && enabled;
    FreeLibrary(library);
    return on;
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
