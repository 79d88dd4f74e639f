// nimbrel-render as a function: arguments in, exit code and a one-line message out.
#pragma once

#include "tools/frame_source.h"
#include "tools/render_options.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace nimbrel {

enum RenderExit { render_ok = 0, render_bad_data = 1, render_bad_usage = 2 };

struct RenderFailure {
    RenderExit exit = render_bad_data;
    std::string message;
};

// Builds the frames for the options; nullptr (with `failure`) when they cannot be made.
using FrameSourceFactory =
    std::function<std::unique_ptr<FrameSource>(const RenderOptions&, RenderFailure& failure)>;

// The arguments without the program name. --help prints the usage to `out`; failures print one
// line to `err`.
int run_render(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
               const FrameSourceFactory& open_frames);

// The setting an --setting value names, as nimbrel-settings finds it: an index from 0 in file
// order when it is all digits, otherwise the first setting with exactly that name; -1 when
// there is none.
int find_setting(const std::vector<std::string>& names, const std::string& wanted);

} // namespace nimbrel
