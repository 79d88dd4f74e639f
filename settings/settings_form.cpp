#include "settings/settings_form.h"

#include "settings/text_lines.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>
#include <system_error>

namespace nimbrel {
namespace {

std::size_t idx(Param p) {
    return static_cast<std::size_t>(p);
}

// Pairs that the x,y locks keep equal.
struct Pair {
    Param a, b;
    Param lock;
};
constexpr Pair kCoupled[] = {
    {Param::mot_par_a, Param::mot_par_d, Param::lock_xy_motion},
    {Param::mot_par_b, Param::mot_par_e, Param::lock_xy_motion},
    {Param::mot_par_c, Param::mot_par_f, Param::lock_xy_motion},
    {Param::aspect_a_x, Param::aspect_a_y, Param::lock_xy_aspect},
    {Param::aspect_f_x, Param::aspect_f_y, Param::lock_xy_aspect},
};

constexpr Param kDensities[] = {Param::density1, Param::density2, Param::density3, Param::density4,
                                Param::density5, Param::density6, Param::density7, Param::density8,
                                Param::density9, Param::density10};

} // namespace

std::vector<std::string> list_palette_files(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end;
         it.increment(ec)) {
        std::error_code type_ec;
        if (it->is_directory(type_ec)) continue;
        const std::string name = it->path().filename().string();
        if (name.size() > 4 && upper_case(name.substr(name.size() - 4)) == ".PAL")
            names.push_back(name);
    }
    return names;
}

TSettings_Form::TSettings_Form(const std::filesystem::path& palette_folder)
    : TSettings_Form(list_palette_files(palette_folder)) {}

TSettings_Form::TSettings_Form(std::vector<std::string> palette_files)
    : palette_list_(std::move(palette_files)) {
    std::stable_sort(palette_list_.begin(), palette_list_.end(), less_ignoring_case);
    for (int i = 0; i < Param_count; ++i) {
        const ParamInfo& info = param_info(static_cast<Param>(i));
        if (info.kind == Kind::Scroll)
            scroll_[i] = {info.min, info.max, info.def};
        else
            on_[i] = info.def != 0;
    }
}

const ScrollValue& TSettings_Form::scroll(Param p) const {
    return scroll_[idx(p)];
}

bool TSettings_Form::on(Param p) const {
    return on_[idx(p)];
}

void TSettings_Form::set_palette_index(int index) {
    palette_index_ = (index >= 0 && index < static_cast<int>(palette_list_.size())) ? index : -1;
}

void TSettings_Form::set_position(Param p, std::int32_t value) {
    ScrollValue& s = scroll_[idx(p)];
    value = std::clamp(value, s.Min, s.Max);
    if (value == s.Position) return;
    s.Position = value;
    on_position_changed(p);
}

// Moving a bound past the other one drags it along, so Min <= Max always holds.
void TSettings_Form::set_min(Param p, std::int32_t value) {
    ScrollValue& s = scroll_[idx(p)];
    s.Min = value;
    s.Max = std::max(s.Max, value);
    set_position(p, s.Position);
}

void TSettings_Form::set_max(Param p, std::int32_t value) {
    ScrollValue& s = scroll_[idx(p)];
    s.Max = value;
    s.Min = std::min(s.Min, value);
    set_position(p, s.Position);
}

void TSettings_Form::set_on(Param p, bool value) {
    on_[idx(p)] = value;
    const Group group = param_info(p).group;
    if (!value || group == Group::None) return;
    for (int i = 0; i < Param_count; ++i)
        if (i != static_cast<int>(idx(p)) && param_info(static_cast<Param>(i)).group == group)
            on_[i] = false;
}

void TSettings_Form::on_position_changed(Param p) {
    if (p == Param::speed_scroll)
        speed_scrollChange();
    else
        scrollbar_lock(p);
}

void TSettings_Form::scrollbar_lock(Param changed) {
    for (const Pair& pair : kCoupled) {
        if (!on(pair.lock)) continue;
        if (changed == pair.a)
            set_position(pair.b, pos(pair.a));
        else if (changed == pair.b)
            set_position(pair.a, pos(pair.b));
    }
}

void TSettings_Form::speed_scrollChange() {
    designed_speed_ = std::to_string(pos(Param::speed_scroll));
}

std::optional<ApplyError> TSettings_Form::Apply_setting(const std::vector<std::string>& lines) {
    set_on(Param::fix_speed, false);
    set_on(Param::lock_xy_aspect, false);
    set_on(Param::lock_xy_motion, false);
    set_on(Param::UsePalette, true);
    set_position(Param::control_points, 3);
    set_position(Param::eccentricity, 2);
    set_position(Param::Gamma, 1);

    for (std::size_t n = 1; n < lines.size(); ++n) {
        const auto tokens = split_tokens(lines[n]);
        if (tokens.empty()) continue;
        const std::optional<Param> found = find_param(tokens[0]);
        if (!found) continue;
        const Param p = *found;
        const ParamInfo& info = param_info(p);
        const int line = static_cast<int>(n);
        const std::string name(info.name);

        switch (info.kind) {
        case Kind::Scroll: {
            if (tokens.size() < 4) return ApplyError{line, name + " needs Min, Max and Position"};
            std::int32_t v[3];
            for (int k = 0; k < 3; ++k) {
                const auto parsed = parse_int32(tokens[k + 1]);
                if (!parsed)
                    return ApplyError{line, name + ": '" + std::string(tokens[k + 1]) +
                                                "' is not a whole number"};
                v[k] = *parsed;
            }
            if (v[0] > v[1])
                return ApplyError{line, name + ": Min " + std::to_string(v[0]) +
                                            " is greater than Max " + std::to_string(v[1])};
            // Min then Max, except when the new Min lies above the current Max: then Max
            // first, so a consistent stored range always applies as a whole.
            if (v[0] > scroll(p).Max) {
                set_max(p, v[1]);
                set_min(p, v[0]);
            } else {
                set_min(p, v[0]);
                set_max(p, v[1]);
            }
            set_position(p, v[2]);
            break;
        }
        case Kind::Check:
        case Kind::Radio:
            if (tokens.size() < 2) return ApplyError{line, name + " needs TRUE or FALSE"};
            set_on(p, tokens[1] == "TRUE");
            break;
        case Kind::PaletteChoice: {
            if (tokens.size() < 2) return ApplyError{line, name + " needs a palette file name"};
            const std::string wanted = upper_case(tokens[1]);
            palette_index_ = -1;
            for (std::size_t i = 0; i < palette_list_.size(); ++i)
                if (upper_case(palette_list_[i]) == wanted) {
                    palette_index_ = static_cast<int>(i);
                    break;
                }
            break;
        }
        }
    }
    return std::nullopt;
}

void TSettings_Form::PDF_zeroClick(bool from_max_button) {
    for (Param d : kDensities)
        set_position(d, from_max_button ? scroll(d).Min : scroll(d).Max);
}

void TSettings_Form::ZeroAspBtnClick() {
    set_position(Param::aspect_a_x, scroll(Param::aspect_a_x).Max / 2);
    set_position(Param::aspect_a_y, scroll(Param::aspect_a_y).Max / 2);
    set_position(Param::aspect_f_x, 0);
    set_position(Param::aspect_f_y, 0);
}

void TSettings_Form::rot_zeroClick() {
    set_position(Param::ampl, scroll(Param::ampl).Min);
    for (Param p : {Param::freq, Param::precess, Param::max_rot_speed, Param::min_rot_speed})
        set_position(p, 0);
}

void TSettings_Form::ZeroPalBtnClick() {
    set_position(Param::palette_inc, 0);
    set_position(Param::colour_step, 0);
    set_position(Param::control_points, scroll(Param::control_points).Min);
    set_position(Param::eccentricity, scroll(Param::eccentricity).Min);
}

void TSettings_Form::btn_fClick(bool from_btn_f) {
    const Param bar = from_btn_f ? Param::mot_par_a : Param::mot_par_b;
    // Nearest multiple of 32, halves to the even multiple. A setting may stretch the range to
    // the 32-bit limits, where that multiple lies beyond them: it is clamped into the range.
    const auto snapped = static_cast<std::int64_t>(std::nearbyint(pos(bar) / 32.0)) * 32;
    const ScrollValue& s = scroll(bar);
    set_position(bar, static_cast<std::int32_t>(std::clamp<std::int64_t>(snapped, s.Min, s.Max)));
}

void TSettings_Form::Set_speedClick() {
    designed_speed_ = f_speed_;
    if (const auto value = parse_int32(f_speed_)) set_position(Param::speed_scroll, *value);
}

std::int32_t TSettings_Form::max_rot_speedScroll(Param bar, std::int32_t proposed) const {
    if (bar == Param::max_rot_speed) return std::max(proposed, pos(Param::min_rot_speed));
    if (bar == Param::min_rot_speed) return std::min(proposed, pos(Param::max_rot_speed));
    return proposed;
}

void TSettings_Form::fix_speedClick() {
    speed_controls_enabled_ = !on(Param::fix_speed);
}

void TSettings_Form::UsePaletteClick() {
    palette_list_enabled_ = on(Param::UsePalette);
}

} // namespace nimbrel
