#include "engine/indexed_surface.h"

#include "engine/line_raster.h"

#include <algorithm>

namespace nimbrel {

IndexedSurface::IndexedSurface(int width, int height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), 0) {}

void IndexedSurface::fill_black() {
    std::fill(pixels_.begin(), pixels_.end(), 0);
}

void IndexedSurface::pixel(int x, int y, std::uint8_t index) {
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    pixels_[index_of(x, y)] = index;
}

void IndexedSurface::line(Point from, Point to, std::uint8_t index) {
    const LineRun run = clip_segment(from, to, width_, height_);
    std::uint8_t* const pixels = pixels_.data();
    walk_run(run, [&](std::int32_t x, std::int32_t y) { pixels[index_of(x, y)] = index; });
}

void IndexedSurface::polyline(const Point* points, int count, std::uint8_t index) {
    if (points == nullptr) return;
    for (int i = 0; i + 1 < count; ++i)
        line(points[i], points[i + 1], index);
}

} // namespace nimbrel
