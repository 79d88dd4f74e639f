// Clearing away an output file whose writing failed.
#pragma once

#include <string>

namespace nimbrel {

// Removes `path` when it is a regular file (a half-written image helps nobody). Anything else,
// such as a device or a symbolic link the user named, is left alone.
void remove_failed_output(const std::string& path);

} // namespace nimbrel
