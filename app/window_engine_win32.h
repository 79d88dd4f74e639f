// A ring engine bound to a window: drawing through GDI's hardware palette where the display has
// one, otherwise through palette emulation.
#pragma once

#include "app/win32_api.h"

#include "app/emulated_target_win32.h"
#include "app/gdi_target_win32.h"
#include "app/saver_window_core.h"
#include "engine/nimbrel.h"

#include <memory>

namespace nimbrel {

// The emulated frame's way to the screen, chosen once per process.
PresentWay present_way();
void set_present_way(PresentWay way);

class WindowEngine : public RingAnimation {
  public:
    // emulate: the options allow emulation and the window's display has no hardware palette.
    WindowEngine(HWND window, TSettings_Form& params, bool emulate, AlertSink& alerts);
    ~WindowEngine() override;

    void frame_step() override { engine_->frame_step(false); }
    std::int32_t design_fps() const override { return engine_->design_fps(); }

    // The logical palette to realise for the window; none under emulation.
    HPALETTE palette() const { return gdi_palette_ ? gdi_palette_->handle() : nullptr; }
    bool emulated() const { return emulated_ != nullptr; }
    // Repaints the last frame (emulation only; the hardware path keeps it on the screen).
    bool present(HDC dc) { return emulated_ && emulated_->present(dc); }
    const Nimbrel& engine() const { return *engine_; }

  private:
    // The targets outlive the engine, which releases its palette when destroyed.
    std::unique_ptr<EmulatedWindowTarget> emulated_;
    std::unique_ptr<GdiPalette> gdi_palette_;
    std::unique_ptr<GdiWindowTarget> gdi_target_;
    std::unique_ptr<Nimbrel> engine_;
};

// Whether a window's display needs emulation when the options allow it.
bool window_needs_emulation(HWND window);

} // namespace nimbrel
