// Runs a frame source and writes every K-th frame to PNG files or one animated GIF.
#pragma once

#include "tools/frame_source.h"
#include "tools/render_options.h"

#include <string>

namespace nimbrel {

// Steps frames 1 .. options.frames and writes those whose number is a multiple of
// options.every. false (with `error`) when a file could not be written.
bool render_frames(const RenderOptions& options, FrameSource& source, std::string& error);

// Hundredths of a second between written frames at the designed pace (at least 2, since
// viewers slow down anything faster).
int gif_delay_cs(int frames_per_second, int every);

} // namespace nimbrel
