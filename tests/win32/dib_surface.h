// A memory DC holding a top-down 32-bit DIB section, filled white: what nobody paints stays white.
#pragma once

#include "app/win32_api.h"

#include <cstdint>

class DibSurface {
  public:
    DibSurface(int width, int height) : width(width), height(height) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        previous_ = SelectObject(dc_, bitmap_);
        PatBlt(dc_, 0, 0, width, height, WHITENESS);
    }
    DibSurface(const DibSurface&) = delete;
    DibSurface& operator=(const DibSurface&) = delete;
    ~DibSurface() {
        SelectObject(dc_, previous_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    bool ready() const { return bits_ != nullptr; }
    HDC dc() const { return dc_; }
    // 0xRRGGBB; `pixel` reads without GdiFlush, for loops over a picture already flushed.
    std::uint32_t pixel(int x, int y) const {
        return static_cast<const std::uint32_t*>(bits_)[y * width + x] & 0xFFFFFF;
    }
    std::uint32_t rgb(int x, int y) const {
        GdiFlush();
        return pixel(x, y);
    }

    const int width, height;

  private:
    HDC dc_ = CreateCompatibleDC(nullptr);
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};
