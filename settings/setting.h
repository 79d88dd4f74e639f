// One stored setting: its name and parameter lines as text, and its tag.
#pragma once

#include "settings/text_lines.h"

#include <string>
#include <vector>

namespace nimbrel {

class Nimbrel_setting {
  public:
    // Line 0 is the name, every further line one parameter line, kept exactly as read.
    std::vector<std::string> Lines;

    std::string Get_name() const { return Lines.empty() ? std::string() : Lines[0]; }

    // Reads one block: "{" name, parameter lines, "}". false when the block does not open with
    // "{" or is not closed before the end of the data.
    bool Read_from(Line_reader& in);
    void Write_to(Bytes& out) const;

    // Tagged settings take part in the cycling through tagged settings only.
    bool Is_tagged() const;
    // Rewrites the tag line, or appends one when there is none.
    void Set_tag(bool tagged);
};

// A parameter line as the editor writes it: the name right-aligned in 20 characters, a TAB, then
// the value (a longer name is not cut).
std::string parameter_line(const std::string& name, const std::string& value);

// "Screensaver" right-aligned in 20 characters, a TAB, then "TRUE" or "FALSE".
std::string tag_line(bool tagged);

// Whether Is_tagged and Set_tag would take this parameter line for the tag line.
bool holds_tag(const std::string& line);

} // namespace nimbrel
