// What the saver window does, apart from the window itself: the start-up countdown with its
// bouncing message, loading the settings, starting and replacing the ring engine, cycling through
// settings and the frame tick. The Windows form turns its messages and timers into these calls and
// lends its device context through SaverWindowHost.
#pragma once

#include "app/display_switch.h"
#include "app/saver_timing.h"
#include "engine/speed.h"
#include "settings/options.h"
#include "settings/settings_file.h"
#include "settings/settings_form.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace nimbrel {

struct MessageRect {
    std::int32_t left = 0, top = 0, right = 0, bottom = 0;
    friend bool operator==(const MessageRect& a, const MessageRect& b) {
        return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
    }
};

struct TimerSetting {
    std::uint32_t interval_ms = 0;
    bool enabled = false;
    // Frame timer only: the interval exactly, and whether to wait for the compositor too.
    std::uint32_t period_us = 0;
    bool wait_for_compositor = false;
};

// A running ring engine as the window drives it.
class RingAnimation {
  public:
    virtual ~RingAnimation() = default;
    virtual void frame_step() = 0;
    virtual std::int32_t design_fps() const = 0;
};

// The configuration dialog while it is shown (it lists the settings and marks the one on show).
class ConfigDialogLink {
  public:
    virtual ~ConfigDialogLink() = default;
    virtual void Fill_settings_list(int index) = 0;
};

// The window, its timers and the engine maker, as the logic needs them.
class SaverWindowHost {
  public:
    virtual ~SaverWindowHost() = default;
    virtual int width() const = 0; // client size
    virtual int height() const = 0;
    virtual int dpi() const = 0; // the window's resolution, dots per inch
    virtual void fill_black() = 0;
    // Word-wrapped to the rectangle's width, centred, unclipped: returns the rectangle with its
    // right and bottom set to what the text needs.
    virtual MessageRect measure_text(const std::string& text, const MessageRect& r) = 0;
    // Same flags as measuring; transparent background; white or black text.
    virtual void draw_text(const std::string& text, const MessageRect& r, bool white) = 0;
    // "Not 256 colour mode !" in white at (0, height - 16).
    virtual void write_not_256_mode() = 0;
    virtual void change_timer(const TimerSetting& t) = 0;
    virtual void frame_timer(const TimerSetting& t) = 0;
    // Of the display the window is on, for a setting that runs as fast as it can show.
    virtual Display_timing display_timing() = 0;
    virtual ConfigDialogLink* config_dialog() = 0; // none while no dialog is shown
    virtual std::unique_ptr<RingAnimation> make_engine(TSettings_Form& params) = 0;
    // One engine for each other monitor that shows rings of its own, drawing on that monitor's
    // window; none in a preview or where the other monitors are black.
    virtual std::vector<std::unique_ptr<RingAnimation>> make_other_engines(TSettings_Form&) {
        return {};
    }
};

// Start-up countdown in message ticks, shared by every saver window of the process.
std::int32_t& wait_count();

inline constexpr const char* Waiting_text = "Nimbrel is waiting...";
inline constexpr const char* Loading_text = "Nimbrel is Loading Data...";
inline constexpr std::uint32_t Message_tick_ms = 20;
// The message wraps at this width (pixels at 96 dots per inch).
inline constexpr std::int32_t Message_wrap_width = 150;

class SaverWindowCore {
  public:
    SaverWindowCore(SaverWindowHost& host, Nimbrel_Options& options);
    ~SaverWindowCore();
    SaverWindowCore(const SaverWindowCore&) = delete;
    SaverWindowCore& operator=(const SaverWindowCore&) = delete;

    // The window became visible; host_preview is true inside the host's preview area, where
    // the waiting text is shown for about two seconds.
    void FormShow(bool host_preview, std::uint32_t seed);
    void FormHide();
    void FormDestroy();
    void Change_timer_event();
    void Error_timer_event();
    void Frame_timer_event();
    // Shows setting `index`, or a random one with -1.
    void Change_setting(int index);
    void Load_and_start();
    // The settings file was rewritten by another program (the editor): the dialog's list and the
    // rings show the new version, on the same setting by name where it is still there.
    void Refresh_settings();
    void Reset_change_timer();
    // The window was fitted to changed displays or a new resolution: the message is laid out
    // again and running rings start afresh on an engine of the new size, with the same setting
    // and timers.
    void Display_changed();

    // Read (and `running` cleared) by the configuration dialog.
    Nimbrel_settings_file* settings_file() { return settings_file_.get(); }
    RingAnimation* engine() { return engine_.get(); }
    std::size_t other_engines() const { return others_.size(); }
    TSettings_Form* params_form() { return params_form_.get(); }
    bool running = false;
    int current_setting() const { return current_setting_; }

    // The message state, for the window's repaint and for tests.
    const MessageRect& msg_rect() const { return msg_rect_; }
    std::int32_t msg_dx() const { return msg_dx_; }
    std::int32_t msg_dy() const { return msg_dy_; }
    bool msg_laid_out() const { return msg_laid_out_; }
    const TimerSetting& change_timer() const { return change_timer_; }
    const TimerSetting& frame_timer() const { return frame_timer_; }

  private:
    // Stops both timers and the engine: what hiding and destroying have in common.
    void stop_display();
    void set_change_timer(std::uint32_t interval_ms, bool enabled);
    void lay_out_message(const std::string& text);
    // The engines of every monitor, made anew for the current setting and window sizes.
    void make_engines();

    SaverWindowHost& host_;
    Nimbrel_Options& options_;
    std::unique_ptr<Nimbrel_settings_file> settings_file_;
    std::unique_ptr<TSettings_Form> params_form_;
    std::unique_ptr<RingAnimation> engine_;
    std::vector<std::unique_ptr<RingAnimation>> others_; // stepped by the same frame tick
    int current_setting_ = -2;                           // nothing shown yet
    std::int32_t msg_dx_ = 0, msg_dy_ = 0;
    MessageRect msg_rect_;
    bool msg_laid_out_ = false;
    Window_random random_;
    TimerSetting change_timer_{Message_tick_ms, false};
    TimerSetting frame_timer_{1000, false};
};

} // namespace nimbrel
