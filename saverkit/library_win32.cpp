#include "saverkit/library_win32.h"

#ifndef LOAD_LIBRARY_SEARCH_DEFAULT_DIRS
#define LOAD_LIBRARY_SEARCH_DEFAULT_DIRS 0x00001000
#endif

namespace nimbrel {

Library::Library(const char* name) {
    // Not from the current directory: a planted DLL there would run with our rights.
    module_ = LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    if (!module_ && GetLastError() == ERROR_INVALID_PARAMETER) // system without the flag
        module_ = LoadLibraryA(name);
}

Library::~Library() {
    if (module_) FreeLibrary(module_);
}

} // namespace nimbrel
