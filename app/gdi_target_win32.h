// The engine drawing straight into a window on a palettised display: palette-index pens from the
// process-wide pen table, a logical palette whose animated entries are PC_RESERVED, and
// AnimatePalette for the colour movement.
#pragma once

#include "app/win32_api.h"

#include "engine/draw.h"

namespace nimbrel {

// The 256 palette-index pens, solid and 1 pixel wide. Shown saver windows share them: the first
// create makes them, the matching last delete frees them.
class PenTable {
  public:
    // false after the "GDI cockup" box (the program is then asked to quit).
    bool create_pens();
    void delete_pens();
    HPEN pen(std::uint8_t index) const { return pens_[index]; }
    bool exists() const { return users_ > 0; }

  private:
    HPEN pens_[256] = {};
    int users_ = 0;
};
PenTable& pen_table();

// A GDI logical palette with 256 entries.
class GdiPalette : public PaletteTarget {
  public:
    GdiPalette() = default;
    ~GdiPalette() override;
    GdiPalette(const GdiPalette&) = delete;
    GdiPalette& operator=(const GdiPalette&) = delete;

    void system_entries(PaletteEntries& into) const override;
    bool create(const PaletteEntries& entries) override;
    void animate(int start, int count, const PaletteEntry* entries) override;
    void read(int start, int count, PaletteEntry* out) const override;
    bool release() override;

    HPALETTE handle() const { return palette_; }

  private:
    HPALETTE palette_ = nullptr;
};

// Draws into a window through its device context, taken for each frame (or into a given DC, which
// tests and printing use). The size is the client size when the target is made.
class GdiWindowTarget : public DrawTarget {
  public:
    GdiWindowTarget(HWND window, const GdiPalette* palette);
    GdiWindowTarget(HDC dc, int width, int height, const GdiPalette* palette);

    int width() const override { return width_; }
    int height() const override { return height_; }
    bool begin_frame() override;
    bool end_frame() override;
    void fill_black() override;
    void polyline(const Point* points, int count, std::uint8_t index) override;
    void pixel(int x, int y, std::uint8_t index) override;

  private:
    HWND window_ = nullptr;
    HDC fixed_dc_ = nullptr;
    HDC dc_ = nullptr; // during a frame
    const GdiPalette* palette_;
    int width_ = 0, height_ = 0;
};

// Whether a device context shows colours through a hardware palette.
bool is_palettised(HDC dc);

} // namespace nimbrel
