// The indexed surface's lines against GDI's own 1-pixel cosmetic pen: the emulated display must
// light the same pixels as a palettised one.
#include "engine/indexed_surface.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace nimbrel;

namespace {

// A top-down 32-bit DIB section selected into a memory DC, with a white 1-pixel pen.
class GdiCanvas {
  public:
    GdiCanvas(int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(nullptr);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        bits_ = static_cast<std::uint32_t*>(bits);
        old_bitmap_ = SelectObject(dc_, bitmap_);
        pen_ = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
        old_pen_ = SelectObject(dc_, pen_);
    }
    ~GdiCanvas() {
        SelectObject(dc_, old_pen_);
        SelectObject(dc_, old_bitmap_);
        DeleteObject(pen_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    bool ready() const { return bits_ != nullptr; }

    void clear() {
        GdiFlush();
        std::fill(bits_, bits_ + width_ * height_, 0u);
    }
    void line(Point a, Point b) {
        MoveToEx(dc_, a.x, a.y, nullptr);
        LineTo(dc_, b.x, b.y);
        GdiFlush();
    }
    bool lit(int x, int y) const { return bits_[y * width_ + x] != 0; }

  private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HPEN pen_ = nullptr;
    HGDIOBJ old_bitmap_ = nullptr, old_pen_ = nullptr;
    std::uint32_t* bits_ = nullptr;
};

// Draws the segment both ways and returns a description of the first difference, if any.
std::string compare(GdiCanvas& gdi, int width, int height, Point a, Point b) {
    gdi.clear();
    gdi.line(a, b);
    IndexedSurface surface(width, height);
    surface.line(a, b, 1);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (gdi.lit(x, y) != (surface.at(x, y) != 0))
                return "(" + std::to_string(a.x) + "," + std::to_string(a.y) + ") -> (" +
                       std::to_string(b.x) + "," + std::to_string(b.y) + ") differs at " +
                       std::to_string(x) + "," + std::to_string(y) +
                       (gdi.lit(x, y) ? ": GDI lights it" : ": GDI leaves it");
    return "";
}

} // namespace

TEST(LinesAgainstGdi, EverySmallSegment) {
    GdiCanvas gdi(20, 20);
    ASSERT_TRUE(gdi.ready());
    int failures = 0;
    for (int x0 = -5; x0 <= 5; ++x0)
        for (int y0 = -5; y0 <= 5; ++y0)
            for (int x1 = -5; x1 <= 5; ++x1)
                for (int y1 = -5; y1 <= 5; ++y1) {
                    const std::string diff =
                        compare(gdi, 20, 20, {x0 + 10, y0 + 10}, {x1 + 10, y1 + 10});
                    if (!diff.empty() && ++failures <= 10) ADD_FAILURE() << diff;
                }
    EXPECT_EQ(failures, 0);
}

TEST(LinesAgainstGdi, ClippedSegments) {
    GdiCanvas gdi(64, 48);
    ASSERT_TRUE(gdi.ready());
    std::mt19937 rng(7);
    // (windows.h takes the words near and far.)
    std::uniform_int_distribution<int> far_coord(-100000, 100000), near_coord(-80, 140);
    int failures = 0;
    for (int i = 0; i < 3000; ++i) {
        const Point a{far_coord(rng), far_coord(rng)};
        const Point b =
            i % 3 ? Point{near_coord(rng), near_coord(rng)} : Point{far_coord(rng), far_coord(rng)};
        const Point c{near_coord(rng), near_coord(rng)}, d{near_coord(rng), near_coord(rng)};
        for (const auto& [p, q] : {std::pair{a, b}, std::pair{c, d}}) {
            const std::string diff = compare(gdi, 64, 48, p, q);
            if (!diff.empty() && ++failures <= 10) ADD_FAILURE() << diff;
        }
    }
    EXPECT_EQ(failures, 0);
}
