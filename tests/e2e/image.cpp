#include "image.h"

#include <algorithm>

namespace e2e {

Image Image::crop(const RECT& r) const {
    const int left = std::clamp<int>(r.left, 0, width), right = std::clamp<int>(r.right, 0, width);
    const int top = std::clamp<int>(r.top, 0, height);
    const int bottom = std::clamp<int>(r.bottom, 0, height);
    Image out;
    if (right <= left || bottom <= top) return out;
    out.width = right - left;
    out.height = bottom - top;
    out.pixels.reserve(std::size_t(out.width) * out.height);
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x)
            out.pixels.push_back(at(x, y));
    return out;
}

Image capture_screen(const RECT* area) {
    const RECT r =
        area ? *area : RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    Image out;
    out.width = r.right - r.left;
    out.height = r.bottom - r.top;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = out.width;
    info.bmiHeader.biHeight = -out.height; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = bitmap ? SelectObject(memory, bitmap) : nullptr;
    if (previous &&
        BitBlt(memory, 0, 0, out.width, out.height, screen, r.left, r.top, SRCCOPY | CAPTUREBLT)) {
        GdiFlush();
        const auto* src = static_cast<const std::uint32_t*>(bits);
        out.pixels.assign(src, src + std::size_t(out.width) * out.height);
        for (auto& p : out.pixels)
            p &= 0xFFFFFF;
    }
    if (previous) SelectObject(memory, previous);
    if (bitmap) DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (out.pixels.empty()) out = {};
    return out;
}

double non_black_fraction(const Image& image) {
    if (image.empty()) return 0;
    const auto lit = std::count_if(image.pixels.begin(), image.pixels.end(),
                                   [](std::uint32_t p) { return p != 0; });
    return double(lit) / double(image.pixels.size());
}

int distinct_colours(const Image& image, int cap) {
    // One bit per 24-bit colour: 2 MiB, and no hashing on the hot path.
    std::vector<std::uint64_t> seen(std::size_t(1) << 18);
    int count = 0;
    for (const std::uint32_t p : image.pixels) {
        auto& word = seen[p >> 6];
        const std::uint64_t bit = std::uint64_t(1) << (p & 63);
        if (word & bit) continue;
        word |= bit;
        if (++count >= cap) break;
    }
    return count;
}

double difference(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height || a.empty()) return 1;
    std::size_t differ = 0;
    for (std::size_t i = 0; i < a.pixels.size(); ++i)
        differ += a.pixels[i] != b.pixels[i];
    return double(differ) / double(a.pixels.size());
}

RECT lit_bounds(const Image& image, int threshold) {
    RECT r{image.width, image.height, 0, 0};
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.at(x, y);
            const int brightest = std::max({int(p >> 16), int((p >> 8) & 0xFF), int(p & 0xFF)});
            if (brightest <= threshold) continue;
            r.left = std::min<LONG>(r.left, x);
            r.top = std::min<LONG>(r.top, y);
            r.right = std::max<LONG>(r.right, x + 1);
            r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    if (r.right <= r.left) return RECT{0, 0, 0, 0};
    return r;
}

double fraction_of(const Image& image, std::uint32_t colour) {
    if (image.empty()) return 0;
    return double(std::count(image.pixels.begin(), image.pixels.end(), colour)) /
           double(image.pixels.size());
}

} // namespace e2e
