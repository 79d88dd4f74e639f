// Palette emulation: on a display without a hardware palette the engine draws palette indices
// into an off-screen 8-bit surface, and every frame the window shows that surface through the
// current 256-entry palette, so rotating and walking colours look as on a 256-colour display.
#pragma once

#include "app/win32_api.h"

#include "engine/indexed_surface.h"
#include "engine/software_palette.h"

#include <cstdint>
#include <vector>

namespace nimbrel {

// How a frame reaches the device context.
enum class PresentWay {
    indexed_dib, // an 8-bit DIB whose colour table is the palette: GDI converts
    bgra_dib,    // our own conversion to 32 bits, then a 32-bit DIB
};

// Shows an indexed surface through a palette.
class FramePresenter {
  public:
    explicit FramePresenter(PresentWay way = PresentWay::bgra_dib) : way_(way) {}
    // Paints the whole surface at (0, 0) of the device context; false when GDI refused.
    bool present(HDC dc, const IndexedSurface& frame, const PaletteEntries& palette);
    PresentWay way() const { return way_; }

  private:
    PresentWay way_;
    std::vector<std::uint8_t> padded_;  // 8-bit rows padded to 4 bytes
    std::vector<std::uint32_t> pixels_; // 32-bit frame
};

// The engine's drawing target and palette for one window under emulation. Drawing lands in the
// surface; the end of each frame shows it in the window.
class EmulatedWindowTarget : public DrawTarget {
  public:
    EmulatedWindowTarget(HWND window, int width, int height, PresentWay way);

    int width() const override { return surface_.width(); }
    int height() const override { return surface_.height(); }
    bool begin_frame() override { return true; }
    // Shows the frame; false when the window's device context could not be had or released.
    bool end_frame() override;
    void fill_black() override { surface_.fill_black(); }
    void polyline(const Point* points, int count, std::uint8_t index) override {
        surface_.polyline(points, count, index);
    }
    void pixel(int x, int y, std::uint8_t index) override { surface_.pixel(x, y, index); }

    SoftwarePalette& palette() { return palette_; }
    const IndexedSurface& surface() const { return surface_; }
    // Paints the current frame into a device context (repaints, printing).
    bool present(HDC dc) { return presenter_.present(dc, surface_, palette_.entries()); }

  private:
    HWND window_;
    IndexedSurface surface_;
    SoftwarePalette palette_;
    FramePresenter presenter_;
};

} // namespace nimbrel
