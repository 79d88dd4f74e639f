// A logical palette held in memory, behaving like a GDI palette on a 256-colour display.
#pragma once

#include "engine/draw.h"

namespace nimbrel {

class SoftwarePalette : public PaletteTarget {
  public:
    // Until a palette is created the display shows its static colours, black elsewhere.
    SoftwarePalette();

    // Writes the 20 static colours into their entries; the others are left alone.
    void system_entries(PaletteEntries& into) const override;
    bool create(const PaletteEntries& entries) override;
    // As with GDI, only entries currently flagged PC_RESERVED take the new value (flags
    // included); the others keep theirs. Entries outside 0-255 are ignored.
    void animate(int start, int count, const PaletteEntry* entries) override;
    // Entries outside 0-255 are not read; their places in `out` are left alone.
    void read(int start, int count, PaletteEntry* out) const override;

    // Like deleting a GDI palette: the colours on show stay until another palette is created.
    // false when no palette was created since the last release.
    bool release() override;

    const PaletteEntries& entries() const { return entries_; }

  private:
    PaletteEntries entries_;
    bool created_ = false;
};

} // namespace nimbrel
