// Writes frames as a user sees them to an animated GIF. Every frame carries its own colour
// table, the palette of that moment, so colours are exact however the palette moves.
#pragma once

#include "engine/draw.h"
#include "engine/indexed_surface.h"

#include <cstdio>
#include <string>

typedef struct GifFileType GifFileType;

namespace nimbrel {

class GifAnimation {
  public:
    // Creates the file and writes its header; check ok(). The animation loops for ever.
    GifAnimation(const std::string& path, int width, int height);
    ~GifAnimation(); // closes the file if close() was not called
    GifAnimation(const GifAnimation&) = delete;
    GifAnimation& operator=(const GifAnimation&) = delete;

    bool ok() const { return gif_ != nullptr && error_.empty(); }
    const std::string& error() const { return error_; }

    // The frame must have the animation's size. Shown for delay_cs hundredths of a second.
    bool add_frame(const IndexedSurface& frame, const PaletteEntries& palette, int delay_cs);
    // Finishes the file; false (with error()) when anything failed. A failed file is removed.
    bool close();

  private:
    bool fail(const std::string& what, int code);

    std::string path_;
    int width_, height_;
    std::FILE* file_ = nullptr;
    GifFileType* gif_ = nullptr;
    std::string error_;
};

} // namespace nimbrel
