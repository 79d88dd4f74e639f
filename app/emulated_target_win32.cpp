#include "app/emulated_target_win32.h"
#include "app/win32_api.h"

#include "engine/bgra_frame.h"

#include <cstring>

namespace nimbrel {
namespace {

struct DibHeader {
    BITMAPINFOHEADER header;
    RGBQUAD colours[256];
};

void top_down_header(BITMAPINFOHEADER& h, int width, int height, int bits) {
    h = BITMAPINFOHEADER{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = -height; // rows top to bottom, as the surface holds them
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(bits);
    h.biCompression = BI_RGB;
}

} // namespace

bool FramePresenter::present(HDC dc, const IndexedSurface& frame, const PaletteEntries& palette) {
    const int w = frame.width(), h = frame.height();
    if (!dc || w <= 0 || h <= 0) return false;
    const std::size_t count = static_cast<std::size_t>(w) * static_cast<std::size_t>(h);

    if (way_ == PresentWay::bgra_dib) {
        pixels_.resize(count);
        to_bgra32(frame, palette, pixels_.data());
        BITMAPINFO info{};
        top_down_header(info.bmiHeader, w, h, 32);
        return SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                                 static_cast<UINT>(h), pixels_.data(), &info, DIB_RGB_COLORS) != 0;
    }

    DibHeader info{};
    top_down_header(info.header, w, h, 8);
    info.header.biClrUsed = 256;
    for (int i = 0; i < 256; ++i)
        info.colours[i] = RGBQUAD{palette[i].blue, palette[i].green, palette[i].red, 0};
    // DIB rows are padded to whole 32-bit words; the surface's rows are not.
    const std::uint8_t* bits = frame.indices();
    const std::size_t stride = (static_cast<std::size_t>(w) + 3) & ~std::size_t{3};
    if (stride != static_cast<std::size_t>(w)) {
        padded_.assign(stride * static_cast<std::size_t>(h), 0);
        for (int y = 0; y < h; ++y)
            std::memcpy(&padded_[stride * static_cast<std::size_t>(y)],
                        bits + static_cast<std::size_t>(w) * static_cast<std::size_t>(y),
                        static_cast<std::size_t>(w));
        bits = padded_.data();
    }
    return SetDIBitsToDevice(dc, 0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0, 0, 0,
                             static_cast<UINT>(h), bits, reinterpret_cast<BITMAPINFO*>(&info),
                             DIB_RGB_COLORS) != 0;
}

EmulatedWindowTarget::EmulatedWindowTarget(HWND window, int width, int height, PresentWay way)
    : window_(window), surface_(width, height), presenter_(way) {}

bool EmulatedWindowTarget::end_frame() {
    HDC dc = GetDC(window_);
    if (!dc) return false;
    presenter_.present(dc, surface_, palette_.entries());
    return ReleaseDC(window_, dc) == 1;
}

} // namespace nimbrel
