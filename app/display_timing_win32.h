// The refresh rate of the monitor a window is on, and whether a compositor shows its frames.
#pragma once

#include "engine/speed.h"

#include "app/win32_api.h"

namespace nimbrel {

Display_timing current_display_timing(HWND window);

} // namespace nimbrel
