// A holder's values written back as a setting's lines, for the editor's save.
#pragma once

#include "settings/settings_form.h"

#include <string>
#include <vector>

namespace nimbrel {

// Line 0 the name, then one line for every parameter in the order of the shipped settings file,
// each as parameter_line lays it out: a scroll value as "Min Max Position", a check or radio as
// "TRUE" or "FALSE", the palette choice as its file name; the Screensaver line is the tag line
// for `tagged`. Applying the lines to any holder gives it exactly these values:
// - a lock that is on is written after the pairs it couples, so the pairs apply uncoupled and
//   keep their own positions (written before them it would make a differing pair equal);
// - with no palette chosen the palette line names no palette file, so the palette of the
//   setting applied before does not carry over.
// `previous` are the setting's lines before the edit: a palette name the holder did not find
// in its list (a palette missing here) is kept, and so are lines that name no parameter;
// neither is lost by editing. A palette file whose name holds a blank cannot be named in a
// line: it reads back as no palette.
std::vector<std::string> setting_lines(const std::string& name, const TSettings_Form& holder,
                                       bool tagged, const std::vector<std::string>& previous = {});

// What the palette line holds when no palette is chosen: no "*.pal" file is called that.
inline constexpr const char* No_palette = "(none)";

} // namespace nimbrel
