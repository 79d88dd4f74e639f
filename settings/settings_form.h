// TSettings_Form: the never-shown holder of the current setting's parameter values.
#pragma once

#include "settings/parameters.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace nimbrel {

struct ScrollValue {
    std::int32_t Min, Max, Position;
};

// Why Apply_setting stopped: the index of the offending line in Lines and a readable reason.
struct ApplyError {
    int line;
    std::string reason;
};

class TSettings_Form {
  public:
    // FormCreate: palette_list filled from the "*.pal" files of palette_folder.
    explicit TSettings_Form(const std::filesystem::path& palette_folder);
    // For tests and tools: the palette list given directly (it is sorted like the folder's).
    explicit TSettings_Form(std::vector<std::string> palette_files = {});

    // Reading, as the engine does.
    const ScrollValue& scroll(Param p) const;
    std::int32_t pos(Param p) const { return scroll(p).Position; }
    bool on(Param p) const; // check or radio
    const std::vector<std::string>& palette_list() const { return palette_list_; }
    int palette_index() const { return palette_index_; } // -1: no selection
    void set_palette_index(int index);                   // out of range: no selection

    // Programmatic changes: clamping, radio exclusion and the change handlers run as on the form.
    void set_position(Param p, std::int32_t value);
    void set_min(Param p, std::int32_t value);
    void set_max(Param p, std::int32_t value);
    void set_on(Param p, bool on);

    // Applies one setting's lines (line 0 is the name). Stops at the first bad line.
    std::optional<ApplyError> Apply_setting(const std::vector<std::string>& lines);

    // Editor handlers that change values.
    void PDF_zeroClick(bool from_max_button);
    void ZeroAspBtnClick();
    void rot_zeroClick();
    void ZeroPalBtnClick();
    void btn_fClick(bool from_btn_f);
    void Set_speedClick();
    std::int32_t max_rot_speedScroll(Param bar, std::int32_t proposed) const;
    void fix_speedClick();
    void UsePaletteClick();

    // Read-outs and enabled states the handlers maintain.
    const std::string& f_speed() const { return f_speed_; }
    const std::string& designed_speed() const { return designed_speed_; }
    bool speed_controls_enabled() const { return speed_controls_enabled_; }
    bool palette_list_enabled() const { return palette_list_enabled_; }

  private:
    void scrollbar_lock(Param changed);
    void speed_scrollChange();
    void on_position_changed(Param p);

    std::array<ScrollValue, Param_count> scroll_{};
    std::array<bool, Param_count> on_{};
    std::vector<std::string> palette_list_;
    int palette_index_ = -1;
    std::string f_speed_ = "1";
    std::string designed_speed_ = "1";
    bool speed_controls_enabled_ = true;
    bool palette_list_enabled_ = false;
};

// The "*.pal" files (not folders) of a folder, sorted by name without regard to case.
std::vector<std::string> list_palette_files(const std::filesystem::path& folder);

} // namespace nimbrel
