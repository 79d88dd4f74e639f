// Seeing a window that another process has put inside one of ours (a preview in its host).
// Windows composes such a child onto its host; Wine 8 gives it no drawing surface at all, so its
// pixels cannot be seen from outside, neither on the screen nor through PrintWindow. The stand-in
// saver tells us once per run which way, if any, works here.
#pragma once

#include "image.h"

namespace e2e {

enum class ForeignCapture { None, PrintWindow, Screen };

const char* to_string(ForeignCapture how);

// Probed once with the stand-in saver inside a host window of ours.
ForeignCapture foreign_child_capture();

Image capture_foreign_child(HWND child, ForeignCapture how);

} // namespace e2e
