// The resolution a window is shown at, from the system.
#pragma once

#include "saverkit/dpi.h"

#include <windows.h> // WIN32_LEAN_AND_MEAN and NOMINMAX come from the build

namespace nimbrel {

// GetDpiForWindow where the system has it (Windows 10 and later), else the LOGPIXELSY of the
// window's device context (the screen's for a null window).
int WindowDpi(HWND window);

} // namespace nimbrel
