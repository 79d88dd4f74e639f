// The refresh rate of the monitor a window is on, and whether a compositor shows its frames.
#pragma once

#include "engine/speed.h"

#include <windows.h>

namespace nimbrel {

Display_timing current_display_timing(HWND window);

} // namespace nimbrel
