#include "app/display_modes_win32.h"
#include "app/win32_api.h"

namespace nimbrel {
namespace {

// The old drivers' "force" flag: change even where the driver would rather restart.
constexpr DWORD Forced_change = 0x80000000;
constexpr DWORD Depth_and_size = DM_BITSPERPEL | DM_PELSWIDTH | DM_PELSHEIGHT; // 0x1C0000

bool enumerate(int index, DEVMODEA& mode) {
    mode = DEVMODEA{};
    mode.dmSize = 156; // the record as the 256-colour drivers know it
    mode.dmDriverExtra = 0;
    return EnumDisplaySettingsA(nullptr, static_cast<DWORD>(index), &mode) != 0;
}

} // namespace

DisplayFormat Win32DisplayModes::current() {
    DisplayFormat f;
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    if (!dc) return f;
    f.bits_per_pixel = GetDeviceCaps(dc, BITSPIXEL);
    f.width = GetDeviceCaps(dc, HORZRES);
    f.height = GetDeviceCaps(dc, VERTRES);
    ReleaseDC(desktop, dc);
    return f;
}

bool Win32DisplayModes::mode(int index, DisplayFormat& out) {
    DEVMODEA m;
    if (!enumerate(index, m)) return false;
    out.bits_per_pixel = static_cast<std::int32_t>(m.dmBitsPerPel);
    out.width = static_cast<std::int32_t>(m.dmPelsWidth);
    out.height = static_cast<std::int32_t>(m.dmPelsHeight);
    return true;
}

ChangeAnswer Win32DisplayModes::change_to(int index, bool forced) {
    DEVMODEA m;
    if (!enumerate(index, m)) return ChangeAnswer::failed;
    m.dmFields = Depth_and_size;
    switch (ChangeDisplaySettingsA(&m, forced ? Forced_change : 0)) {
    case DISP_CHANGE_SUCCESSFUL:
        return ChangeAnswer::successful;
    case DISP_CHANGE_RESTART:
        return ChangeAnswer::restart_needed;
    default:
        return ChangeAnswer::failed;
    }
}

void Win32DisplayModes::restore(bool forced) {
    ChangeDisplaySettingsA(nullptr, forced ? Forced_change : 0);
}

} // namespace nimbrel
