// <windows.h> for the shell. The engine's headers come first: <wingdi.h> defines PC_RESERVED as
// a macro, which would break the engine's constant of the same name if it were seen before it.
#pragma once

#include "engine/draw.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
