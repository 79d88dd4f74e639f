// The setting nimbrel-render is asked to show, read from the settings file.
#pragma once

#include "tools/render_command.h"

#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

// The lines (line 0 the name) of the --setting of the --settings file; nullopt with `failure`
// when the file cannot be used (bad data) or has no such setting (bad usage).
std::optional<std::vector<std::string>> load_render_setting(const RenderOptions& options,
                                                            RenderFailure& failure);

} // namespace nimbrel
