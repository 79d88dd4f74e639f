// Pictures the test driver takes of the screen or of one window, and the few numbers the tests
// judge them by.
#pragma once

#include "app/win32_api.h"

#include <cstdint>
#include <vector>

namespace e2e {

// 32-bit pixels as 0x00RRGGBB, rows top-down.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    bool empty() const { return pixels.empty(); }
    std::uint32_t at(int x, int y) const { return pixels[std::size_t(y) * width + x]; }
    Image crop(const RECT& r) const; // clipped to the image
};

// A memory DC with a 32-bit top-down DIB selected; image() reads it back.
class DibCanvas {
  public:
    DibCanvas(HDC like, int width, int height) : width_(width), height_(height) {
        dc_ = CreateCompatibleDC(like);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (dc_ && bitmap_) previous_ = SelectObject(dc_, bitmap_);
    }
    DibCanvas(const DibCanvas&) = delete;
    DibCanvas& operator=(const DibCanvas&) = delete;
    ~DibCanvas() {
        if (previous_) SelectObject(dc_, previous_);
        if (bitmap_) DeleteObject(bitmap_);
        if (dc_) DeleteDC(dc_);
    }
    bool ok() const { return dc_ && bitmap_ && bits_; }
    HDC dc() const { return dc_; }
    Image image() const {
        GdiFlush();
        Image out;
        out.width = width_;
        out.height = height_;
        const auto* src = static_cast<const std::uint32_t*>(bits_);
        out.pixels.assign(src, src + std::size_t(width_) * height_);
        for (auto& p : out.pixels)
            p &= 0xFFFFFF;
        return out;
    }

  private:
    int width_, height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

// What the user sees in `area` of the screen (the whole screen when `area` is null).
Image capture_screen(const RECT* area = nullptr);

// The window as it draws itself when asked (WM_PRINT through PrintWindow): the only way to see a
// child window that another process owns, because Wine does not compose it onto its host.
Image print_window(HWND window);

// Fraction (0..1) of pixels that are not pure black.
double non_black_fraction(const Image& image);

// Fraction (0..1) of pixels of exactly `colour`.
double fraction_of(const Image& image, std::uint32_t colour);

// Number of distinct colours, counting up to `cap` (counting stops there).
int distinct_colours(const Image& image, int cap = 1 << 24);

// Fraction (0..1) of pixels that differ between two images of the same size (1 if sizes differ).
double difference(const Image& a, const Image& b);

// Smallest rectangle holding every pixel brighter than `threshold` (in any channel); empty when
// there is none.
RECT lit_bounds(const Image& image, int threshold = 128);

} // namespace e2e
