// TSaverForm: the window the rings are drawn in, full screen, in the host's preview and in the
// configuration dialog's monitor picture. Its rules live in SaverWindowCore; this form lends it
// the window, the two timers and the device context.
#pragma once

#include "app/win32_api.h"

#include "app/monitor_blankers_win32.h"
#include "app/saver_window_core.h"
#include "app/window_engine_win32.h"
#include "saverkit/scr_forms_win32.h"
#include "saverkit/scr_timer_win32.h"

#include <memory>

namespace nimbrel {

class TSaverForm : public TScrForm, private SaverWindowHost {
  public:
    TSaverForm();
    ~TSaverForm() override;
    const char* ClassName() const override { return "TSaverForm"; }

    // What the configuration dialog reads and calls. A dialog that lists settings implements
    // ConfigDialogLink, so random picks are echoed to its list.
    void Change_setting(int index) { core_.Change_setting(index); }
    Nimbrel_settings_file* settings_file() { return core_.settings_file(); }
    WindowEngine* engine() { return static_cast<WindowEngine*>(core_.engine()); }
    bool Running() const { return core_.running; }
    void SetRunning(bool running) { core_.running = running; }
    SaverWindowCore& core() { return core_; }

    std::unique_ptr<TScrTimer> Frame_timer = std::make_unique<TScrTimer>();

  protected:
    Class WindowClass() const override;
    void CreateWnd() override;
    void FormShow() override;
    void FormHide() override;
    LRESULT WndProc(UINT message, WPARAM wparam, LPARAM lparam) override;
    HPALETTE GetPalette() override;

  private:
    void paint(HDC dc);
    // The full-screen window and the covers over the monitors as they are now.
    void fit_to_screens();
    // Rings or covers on the other monitors, as the options and the display allow.
    ScreenLayout screen_layout();
    void release_pens();
    // The message font at the window's resolution (made anew when that changes).
    HFONT message_font();

    // SaverWindowHost
    int width() const override;
    int height() const override;
    int dpi() const override;
    void fill_black() override;
    MessageRect measure_text(const std::string& text, const MessageRect& r) override;
    void draw_text(const std::string& text, const MessageRect& r, bool white) override;
    void write_not_256_mode() override;
    void change_timer(const TimerSetting& t) override;
    void frame_timer(const TimerSetting& t) override;
    Display_timing display_timing() override;
    ConfigDialogLink* config_dialog() override;
    std::unique_ptr<RingAnimation> make_engine(TSettings_Form& params) override;
    std::vector<std::unique_ptr<RingAnimation>> make_other_engines(TSettings_Form& params) override;

    Nimbrel_Options& options_;
    SaverWindowCore core_;
    HFONT font_ = nullptr;
    int font_dpi_ = 0;
    TimerSetting change_timer_;
    MonitorBlankers blankers_;
    bool pens_held_ = false; // this window's share of the pen table
};

} // namespace nimbrel
