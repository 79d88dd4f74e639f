// The ring engine running one setting on an off-screen 8-bit surface, as a frame source.
#pragma once

#include "tools/render_command.h"

#include <memory>

namespace nimbrel {

// Reads the setting, applies it to a parameter holder whose palette list comes from the
// --palettes folder, seeds the random generator and builds the engine.
std::unique_ptr<FrameSource> open_engine_frames(const RenderOptions& options,
                                                RenderFailure& failure);

} // namespace nimbrel
