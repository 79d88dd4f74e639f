// nimbrel-render: renders frames of any setting to PNG files or an animated GIF, no window needed.
#include "tools/engine_frames.h"
#include "tools/render_command.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return nimbrel::run_render(args, std::cout, std::cerr, nimbrel::open_engine_frames);
}
