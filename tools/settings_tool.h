// The nimbrel-settings command: packs, unpacks, lists, shows, tags and checks settings files.
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace nimbrel {

enum Tool_exit : int { tool_ok = 0, tool_bad_data = 1, tool_bad_usage = 2 };

// args without the program name. Results go to out, one-line failure messages to err.
int run_settings_tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

} // namespace nimbrel
