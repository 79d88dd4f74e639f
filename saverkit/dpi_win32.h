// The resolution a window is shown at, from the system.
#pragma once

#include "saverkit/dpi.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace nimbrel {

// GetDpiForWindow where the system has it (Windows 10 and later), else the LOGPIXELSY of the
// window's device context (the screen's for a null window).
int WindowDpi(HWND window);

} // namespace nimbrel
