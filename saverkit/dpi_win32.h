// The resolution a window is shown at, from the system.
#pragma once

#include "app/win32_api.h"
#include "saverkit/dpi.h"

namespace nimbrel {

// GetDpiForWindow where the system has it (Windows 10 and later), else the LOGPIXELSY of the
// window's device context (the screen's for a null window).
int WindowDpi(HWND window);

} // namespace nimbrel
