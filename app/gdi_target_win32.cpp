#include "app/gdi_target_win32.h"
#include "app/win32_api.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace nimbrel {

static_assert(sizeof(Point) == sizeof(POINT) && offsetof(Point, y) == offsetof(POINT, y),
              "ring points are handed to Polyline as they are");
static_assert(sizeof(PaletteEntry) == sizeof(PALETTEENTRY), "palette entries are GDI's layout");

PenTable& pen_table() {
    static PenTable table;
    return table;
}

bool PenTable::create_pens() {
    if (users_++ > 0) return true;
    for (int i = 0; i < 256; ++i) {
        pens_[i] = CreatePen(PS_SOLID, 1, PALETTEINDEX(i));
        if (!pens_[i]) {
            MessageBoxA(nullptr,
                        "Caution : Error creating pens\rWindows may be low on resources !!!",
                        "GDI cockup", MB_OK);
            PostQuitMessage(0);
            return false;
        }
    }
    return true;
}

void PenTable::delete_pens() {
    if (users_ == 0 || --users_ > 0) return;
    for (HPEN& pen : pens_) {
        if (pen) DeleteObject(pen);
        pen = nullptr;
    }
}

bool is_palettised(HDC dc) {
    return dc && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE) != 0;
}

// ---------------------------------------------------------------------------------------------
GdiPalette::~GdiPalette() {
    release();
}

void GdiPalette::system_entries(PaletteEntries& into) const {
    into = standard_system_entries();
    HDC screen = GetDC(nullptr);
    if (!screen) return;
    // Only a palettised display has a system palette to copy; elsewhere the standard colours stand.
    if (is_palettised(screen)) {
        PALETTEENTRY low[10], high[10];
        if (GetSystemPaletteEntries(screen, 0, 10, low) == 10 &&
            GetSystemPaletteEntries(screen, 246, 10, high) == 10) {
            std::memcpy(&into[0], low, sizeof low);
            std::memcpy(&into[246], high, sizeof high);
        }
    }
    ReleaseDC(nullptr, screen);
}

bool GdiPalette::create(const PaletteEntries& entries) {
    bool deleted = true;
    if (palette_) deleted = DeleteObject(palette_) != 0;
    palette_ = nullptr;
    std::vector<unsigned char> buffer(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* log = reinterpret_cast<LOGPALETTE*>(buffer.data());
    log->palVersion = 0x300;
    log->palNumEntries = 256;
    std::memcpy(log->palPalEntry, entries.data(), 256 * sizeof(PALETTEENTRY));
    palette_ = CreatePalette(log);
    return deleted;
}

void GdiPalette::animate(int start, int count, const PaletteEntry* entries) {
    if (!palette_ || !entries || count <= 0 || start < 0 || start + count > 256) return;
    AnimatePalette(palette_, static_cast<UINT>(start), static_cast<UINT>(count),
                   reinterpret_cast<const PALETTEENTRY*>(entries));
}

void GdiPalette::read(int start, int count, PaletteEntry* out) const {
    if (!palette_ || !out || count <= 0 || start < 0 || start + count > 256) return;
    GetPaletteEntries(palette_, static_cast<UINT>(start), static_cast<UINT>(count),
                      reinterpret_cast<PALETTEENTRY*>(out));
}

bool GdiPalette::release() {
    if (!palette_) return false;
    const bool deleted = DeleteObject(palette_) != 0;
    palette_ = nullptr;
    return deleted;
}

// ---------------------------------------------------------------------------------------------
GdiWindowTarget::GdiWindowTarget(HWND window, const GdiPalette* palette)
    : window_(window), palette_(palette) {
    RECT r{};
    GetClientRect(window, &r);
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
}

GdiWindowTarget::GdiWindowTarget(HDC dc, int width, int height, const GdiPalette* palette)
    : fixed_dc_(dc), palette_(palette), width_(width), height_(height) {}

bool GdiWindowTarget::begin_frame() {
    dc_ = fixed_dc_ ? fixed_dc_ : GetDC(window_);
    if (!dc_) return false;
    if (palette_ && palette_->handle()) {
        SelectPalette(dc_, palette_->handle(), FALSE);
        RealizePalette(dc_);
    }
    return true;
}

bool GdiWindowTarget::end_frame() {
    HDC dc = dc_;
    dc_ = nullptr;
    if (!dc) return false;
    if (fixed_dc_) return true;
    return ReleaseDC(window_, dc) == 1;
}

void GdiWindowTarget::fill_black() {
    if (dc_) PatBlt(dc_, 0, 0, width_, height_, BLACKNESS);
}

void GdiWindowTarget::polyline(const Point* points, int count, std::uint8_t index) {
    if (!dc_ || !points || count < 2) return;
    SelectObject(dc_, pen_table().pen(index));
    Polyline(dc_, reinterpret_cast<const POINT*>(points), count);
}

void GdiWindowTarget::pixel(int x, int y, std::uint8_t index) {
    if (dc_) SetPixelV(dc_, x, y, PALETTEINDEX(index));
}

} // namespace nimbrel
