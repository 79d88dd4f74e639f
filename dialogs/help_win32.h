// The program's help: the old help file where it exists and the system can still show it,
// otherwise the help page with the shell's browser.
#pragma once

#include "app/win32_api.h"

#include <string>

namespace nimbrel {

// data_folder ends with a path separator; nothing happens when it holds no help.
void open_help(HWND owner, const std::string& data_folder);

} // namespace nimbrel
