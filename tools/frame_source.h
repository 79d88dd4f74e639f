// Something that produces frames as the saver would show them: an indexed picture and the
// palette it is shown through at that moment.
#pragma once

#include "engine/draw.h"
#include "engine/indexed_surface.h"

namespace nimbrel {

class FrameSource {
  public:
    virtual ~FrameSource() = default;
    virtual void step() = 0; // advance one frame
    virtual const IndexedSurface& frame() const = 0;
    virtual const PaletteEntries& palette() const = 0;
    virtual int frames_per_second() const = 0; // the pace the frames were designed for
};

} // namespace nimbrel
