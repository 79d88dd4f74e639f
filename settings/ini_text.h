// One section of an INI file's text, read and changed the way the Windows profile functions
// (GetPrivateProfileSectionA, WritePrivateProfileStringA) read and change it.
#pragma once

#include "settings/file_io.h"

#include <string>
#include <utility>
#include <vector>

namespace nimbrel {

using Ini_entries = std::vector<std::pair<std::string, std::string>>;

// The key=value lines of the first section of that name (matched without regard to case), in
// file order, names and values trimmed; comments (";") and lines without "=" are left out.
Ini_entries read_ini_section(const Bytes& text, const std::string& section);

// The text with each key of the section set to its value: a key already there (matched without
// regard to case) keeps its spelling and gets the new value, a new key is added at the end of
// the section, a missing section at the end of the file. Every other line stays as it was;
// lines end with CR LF.
Bytes write_ini_section(const Bytes& text, const std::string& section, const Ini_entries& entries);

} // namespace nimbrel
