#include "app/window_engine_win32.h"
#include "app/win32_api.h"

namespace nimbrel {
namespace {

PresentWay g_present_way = PresentWay::bgra_dib;

// The pointer in the window's client coordinates, for rings that follow the mouse.
Point cursor_in(HWND window) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(window, &p);
    return Point{p.x, p.y};
}

} // namespace

PresentWay present_way() {
    return g_present_way;
}
void set_present_way(PresentWay way) {
    g_present_way = way;
}

bool window_needs_emulation(HWND window) {
    HDC dc = GetDC(window);
    const bool palettised = is_palettised(dc);
    if (dc) ReleaseDC(window, dc);
    return !palettised;
}

WindowEngine::WindowEngine(HWND window, TSettings_Form& params, bool emulate, AlertSink& alerts) {
    RECT r{};
    GetClientRect(window, &r);
    auto cursor = [window] { return cursor_in(window); };
    if (emulate) {
        emulated_ = std::make_unique<EmulatedWindowTarget>(window, r.right - r.left,
                                                           r.bottom - r.top, present_way());
        engine_ =
            std::make_unique<Nimbrel>(params, *emulated_, emulated_->palette(), alerts, cursor);
    } else {
        gdi_palette_ = std::make_unique<GdiPalette>();
        gdi_target_ = std::make_unique<GdiWindowTarget>(window, gdi_palette_.get());
        engine_ = std::make_unique<Nimbrel>(params, *gdi_target_, *gdi_palette_, alerts, cursor);
    }
}

WindowEngine::~WindowEngine() {
    engine_.reset();
}

} // namespace nimbrel
