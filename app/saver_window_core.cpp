#include "app/saver_window_core.h"

#include "engine/palette_file.h"
#include "engine/speed.h"
#include "engine/tables.h"
#include "saverkit/dpi.h"

namespace nimbrel {

std::int32_t& wait_count() {
    static std::int32_t count = 0;
    return count;
}

SaverWindowCore::SaverWindowCore(SaverWindowHost& host, Nimbrel_Options& options)
    : host_(host), options_(options) {}

SaverWindowCore::~SaverWindowCore() = default;

void SaverWindowCore::set_change_timer(std::uint32_t interval_ms, bool enabled) {
    change_timer_ = TimerSetting{interval_ms, enabled};
    host_.change_timer(change_timer_);
}

void SaverWindowCore::FormShow(bool host_preview, std::uint32_t seed) {
    if (options_.Error_set == 0) options_.Error_text = Waiting_text;
    random_.seed(seed);
    msg_laid_out_ = false;
    running = false;
    // Two ticks elsewhere: the first already shows the loading text, the second loads.
    wait_count() = host_preview ? 100 : 2;
    set_change_timer(Message_tick_ms, true);
}

void SaverWindowCore::Change_timer_event() {
    if (running)
        Change_setting(-1);
    else
        Error_timer_event();
}

void SaverWindowCore::lay_out_message(const std::string& text) {
    msg_laid_out_ = true;
    msg_rect_ = host_.measure_text(
        text, MessageRect{0, 0, Scale_for_dpi(Message_wrap_width, host_.dpi()), 0});
    const std::int32_t dx = (host_.width() - msg_rect_.right) / 2;
    const std::int32_t dy = (host_.height() - msg_rect_.bottom) / 2;
    msg_rect_.left += dx;
    msg_rect_.right += dx;
    msg_rect_.top += dy;
    msg_rect_.bottom += dy;
    msg_dx_ = static_cast<std::int32_t>(random_.below(5)) - 2;
    msg_dy_ = static_cast<std::int32_t>(random_.below(5)) - 2;
    host_.fill_black();
}

void SaverWindowCore::Error_timer_event() {
    if (!running && options_.Error_set == 0) {
        --wait_count();
        if (wait_count() == 1) {
            options_.Error_text = Loading_text;
            msg_laid_out_ = false;
        }
        if (wait_count() == 0) Load_and_start();
    }
    // Loading may have started the rings and emptied the text: nothing more to draw then.
    const std::string text = options_.Error_text;
    if (!msg_laid_out_) lay_out_message(text);
    if (text.empty()) return;

    const int w = host_.width(), h = host_.height();
    host_.draw_text(text, msg_rect_, false);
    if (msg_rect_.right + msg_dx_ > w)
        msg_dx_ = -msg_dx_;
    else if (msg_rect_.left + msg_dx_ < 0)
        msg_dx_ = -msg_dx_;
    if (msg_rect_.top + msg_dy_ < 0)
        msg_dy_ = -msg_dy_;
    else if (msg_rect_.bottom + msg_dy_ > h)
        msg_dy_ = -msg_dy_;
    msg_rect_.left += msg_dx_;
    msg_rect_.right += msg_dx_;
    msg_rect_.top += msg_dy_;
    msg_rect_.bottom += msg_dy_;
    // Too big for the window: park it in the corner instead of bouncing back and forth.
    if (msg_rect_.right > w || msg_rect_.bottom > h) {
        msg_rect_.left = 0;
        msg_rect_.top = 0;
        msg_dx_ = 0;
        msg_dy_ = 0;
    }
    host_.draw_text(text, msg_rect_, true);
}

void SaverWindowCore::Load_and_start() {
    change_timer_.enabled = false;
    host_.change_timer(change_timer_);
    options_.Error_text.clear();
    make_tables();

    settings_file_.reset();
    settings_file_ = std::make_unique<Nimbrel_settings_file>(options_, Thinking_box());
    const std::string path = options_.Directory + options_.Settings_file;
    settings_file_->Load(path, false);
    if (options_.Error_set == 0 && settings_file_->Count() == 0)
        options_.add(err_no_settings, "Nimbrel found no settings in " + path + "\r\n\r\n");

    if (!params_form_) params_form_ = std::make_unique<TSettings_Form>(palette_folder());

    if (options_.Error_set == 0) {
        host_.fill_black();
        Change_setting(-1);
    } else {
        // Keep the message ticking, so the error text bounces like any start-up problem.
        msg_laid_out_ = false;
        set_change_timer(Message_tick_ms, true);
    }
}

void SaverWindowCore::Change_setting(int index) {
    if (index == current_setting_) return;
    // Nothing to show before the settings are loaded, and no setting under a stale index.
    if (!settings_file_ || !params_form_) return;
    if (index < -1 || index >= settings_file_->Count()) return;

    running = false;
    const int picked =
        index == -1 ? settings_file_->Random_index(options_.Tagged_settings_only) : index;
    if (picked < 0) return;
    params_form_->Apply_setting(settings_file_->Setting(picked).Lines);
    current_setting_ = picked;
    host_.fill_black();

    make_engines();
    if (index == -1) {
        if (ConfigDialogLink* dialog = host_.config_dialog()) dialog->Fill_settings_list(picked);
    }
    Reset_change_timer();

    const Frame_pacing pacing =
        frame_pacing(params_form_->on(Param::fix_speed), engine_ ? engine_->design_fps() : 1,
                     host_.display_timing());
    frame_timer_ =
        TimerSetting{pacing.interval_ms, true, pacing.period_us, pacing.wait_for_compositor};
    host_.frame_timer(frame_timer_);
    running = true;
}

void SaverWindowCore::Refresh_settings() {
    if (!settings_file_ || !params_form_) return;
    const std::string shown = current_setting_ >= 0 && current_setting_ < settings_file_->Count()
                                  ? settings_file_->Setting(current_setting_).Get_name()
                                  : std::string();
    if (!settings_file_->Refresh()) return;
    int index = 0;
    for (int i = 0; i < settings_file_->Count(); ++i)
        if (settings_file_->Setting(i).Get_name() == shown) index = i;
    current_setting_ = -2; // the same index may hold other lines now
    Change_setting(index);
    if (ConfigDialogLink* dialog = host_.config_dialog()) dialog->Fill_settings_list(index);
}

void SaverWindowCore::Reset_change_timer() {
    if (host_.config_dialog()) {
        // No cycling while the user picks settings.
        change_timer_.enabled = false;
        host_.change_timer(change_timer_);
        return;
    }
    change_timer_.enabled = false;
    host_.change_timer(change_timer_);
    const std::int32_t seconds = cycle_seconds(options_.Min_time, options_.Max_time, random_);
    // A cycle time of 0 or less would fire without pause; such a timer does not run.
    const bool usable = seconds > 0;
    set_change_timer(usable ? static_cast<std::uint32_t>(seconds) * 1000u : 0,
                     options_.Auto_cycling && usable);
}

void SaverWindowCore::make_engines() {
    // The old engines go first: each holds its window's surface.
    others_.clear();
    engine_.reset();
    engine_ = host_.make_engine(*params_form_);
    others_ = host_.make_other_engines(*params_form_);
}

void SaverWindowCore::Display_changed() {
    msg_laid_out_ = false;
    // The other monitors' windows were made anew: engines on the old ones must not outlive them.
    if (!running || !engine_ || !params_form_) {
        others_.clear();
        return;
    }
    host_.fill_black();
    make_engines();
}

void SaverWindowCore::Frame_timer_event() {
    if (!running || !engine_) return;
    engine_->frame_step();
    for (const auto& other : others_)
        other->frame_step();
    if (not_256_mode()) host_.write_not_256_mode();
}

void SaverWindowCore::stop_display() {
    running = false;
    change_timer_.enabled = false;
    host_.change_timer(change_timer_);
    frame_timer_.enabled = false;
    host_.frame_timer(frame_timer_);
    others_.clear();
    engine_.reset();
}

// The collection stays loaded across a hide; only the holder goes.
void SaverWindowCore::FormHide() {
    stop_display();
    params_form_.reset();
}

void SaverWindowCore::FormDestroy() {
    stop_display();
    settings_file_.reset();
}

} // namespace nimbrel
