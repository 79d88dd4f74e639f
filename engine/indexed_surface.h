// An off-screen 8-bit picture of palette indices: what a 256-colour display holds.
#pragma once

#include "engine/draw.h"

#include <cstdint>
#include <vector>

namespace nimbrel {

class IndexedSurface : public DrawTarget {
  public:
    // Negative sizes count as 0. Starts black (index 0).
    IndexedSurface(int width, int height);

    int width() const override { return width_; }
    int height() const override { return height_; }
    // Black is palette entry 0, which every palette built for a window keeps black.
    void fill_black() override;
    void polyline(const Point* points, int count, std::uint8_t index) override;
    void pixel(int x, int y, std::uint8_t index) override;

    // One segment without its last pixel; see line_raster.h for the pixels chosen.
    void line(Point from, Point to, std::uint8_t index);

    // Rows top to bottom, `width()` bytes each, no padding.
    const std::uint8_t* indices() const { return pixels_.data(); }
    std::uint8_t at(int x, int y) const { return pixels_[index_of(x, y)]; }

    friend bool operator==(const IndexedSurface& a, const IndexedSurface& b) {
        return a.width_ == b.width_ && a.height_ == b.height_ && a.pixels_ == b.pixels_;
    }

  private:
    std::size_t index_of(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
               static_cast<std::size_t>(x);
    }

    int width_, height_;
    std::vector<std::uint8_t> pixels_;
};

} // namespace nimbrel
