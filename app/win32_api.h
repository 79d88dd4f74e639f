// <windows.h> for every Windows file of the tree: include this instead, before any other system
// header, so all of them see the same settings.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
// Declarations up to Windows 10; the few newer functions used are looked up at run time, so the
// program still starts on systems without them.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0A00
#endif
#include <windows.h>

// <wingdi.h> names a palette flag PC_RESERVED as a macro; the engine's constant of that name (the
// same value) must not be rewritten by it, whichever header comes first.
#undef PC_RESERVED
