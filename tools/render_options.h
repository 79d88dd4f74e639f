// The command line of nimbrel-render and the names of the files it writes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

struct RenderOptions {
    std::string settings_file;
    std::string setting; // an index (from 0, in file order) or a name
    std::string palettes;
    int width = 640, height = 480;
    int frames = 100;
    std::uint32_t seed = 1;
    int every = 1;
    std::string png_pattern; // one of these two is set
    std::string gif_file;
};

inline constexpr const char* render_usage =
    "usage: nimbrel-render --settings FILE --setting INDEX|NAME --palettes DIR [--size WxH] "
    "[--frames N] [--seed S] [--every K] (--png OUT_PATTERN | --gif OUT.gif)";

// nullopt with `error` set when the arguments (without the program name) are not usable.
std::optional<RenderOptions> parse_render_options(const std::vector<std::string>& args,
                                                  std::string& error);

// The pattern with its one %d, %Nd or %0Nd replaced by the frame number; %% is a percent sign.
// nullopt for any other conversion or more than one number.
std::optional<std::string> frame_file_name(const std::string& pattern, int frame);
// Whether the pattern holds a frame number conversion (it is assumed valid).
bool has_frame_number(const std::string& pattern);

} // namespace nimbrel
