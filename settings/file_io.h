// Whole-file reads and writes for the settings and configuration files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace nimbrel {

using Bytes = std::vector<std::uint8_t>;

// Paths are narrow strings in the system's code page, as the rest of the program uses them.
bool file_exists(const std::string& path);   // a file, not a folder
bool folder_exists(const std::string& path); // a folder

// The whole file. false (with a one-line reason in error) when it cannot be opened or read.
bool read_file(const std::string& path, Bytes& bytes, std::string* error = nullptr);

// Writes a temporary file beside path, flushes it to the disk, then puts it in path's place, so
// path holds either its old or its new contents, whatever happens. A new file gets the default
// permissions, a replaced one keeps its own. false (with a reason) when anything failed; the
// temporary file is then gone and path untouched.
bool write_file_atomically(const std::string& path, const Bytes& bytes,
                           std::string* error = nullptr);

// The folder of the running executable, with a trailing separator.
std::string executable_folder();

// The system's own path separator.
char path_separator();

} // namespace nimbrel
