// The editor's live preview: a resizable window of its own in which the ring engine runs the
// setting being edited, driven as the saver drives it (the kit's frame timer at the setting's
// pacing, the emulated palette where the display has none), and which measures the frames per
// second it really shows.
#pragma once

#include "app/win32_api.h"

#include "app/window_engine_win32.h"
#include "editor/speed_meter.h"
#include "saverkit/scr_timer_win32.h"
#include "saverkit/window_win32.h"

#include <functional>
#include <memory>
#include <string>

namespace nimbrel {

class TSettings_Form;

class EditorPreview : public Window, public AlertSink {
  public:
    // The engine reads `holder`, which must outlive the preview.
    explicit EditorPreview(TSettings_Form& holder);
    ~EditorPreview() override;

    // A top-level window owned by `owner` with a client area of at least 320 x 240 (at 96 dots
    // per inch), put beside the owner where the screen has room.
    bool create(HWND owner);
    void show();

    // A new engine for the holder's values as they are now.
    void restart();
    // Nothing drawn until restart (no setting to show).
    void stop();
    // The frame timer's pacing again, after the speed parameters changed.
    void pace();

    // The frames per second shown over the last second or so.
    int frames_per_second() const;
    // Called about twice a second while frames are shown.
    std::function<void()> OnSpeedMeasured;

    const WindowEngine* engine() const { return engine_.get(); }

  protected:
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;

  private:
    void frame();
    // No engine and no ticks; restart makes them again.
    void halt();
    double now() const;
    void alert(const std::string& text) override;

    TSettings_Form& holder_;
    std::unique_ptr<WindowEngine> engine_;
    std::unique_ptr<TScrTimer> timer_;
    Speed_meter meter_;
    LARGE_INTEGER frequency_{};
    double last_report_ = 0;
    bool pens_held_ = false;
    bool showing_ = false;       // a setting to show: a new size needs a new engine
    int width_ = 0, height_ = 0; // the client size the engine was made for
};

} // namespace nimbrel
