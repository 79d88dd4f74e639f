#include "saverkit/dpi_win32.h"

namespace nimbrel {

int WindowDpi(HWND window) {
    // Windows before 10 has no GetDpiForWindow: looked up, so the program starts there too.
    using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
    static const auto get_dpi_for_window = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (window && get_dpi_for_window)
        if (const UINT dpi = get_dpi_for_window(window)) return Usable_dpi(static_cast<int>(dpi));
    HDC dc = GetDC(window);
    const int value = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 0;
    if (dc) ReleaseDC(window, dc);
    return Usable_dpi(value);
}

} // namespace nimbrel
