// The lead ring's dynamics: aspect, shape, rotation and motion, set up at construction and
// advanced once per frame.
#include "engine/fixed_point.h"
#include "engine/nimbrel.h"
#include "engine/tables.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace nimbrel {

std::int32_t chance_value(std::int32_t m) {
    const double log10_m = m > 0 ? std::log10(static_cast<double>(m)) : -150.0;
    return round_even((2 - log10_m) * 50);
}

namespace {

// Max - Position of a frequency bar: a period in frames, or as a chance value a percentage.
std::int32_t period_or_chance(const TSettings_Form& settings, Param frequency, bool periodic) {
    const ScrollValue& f = settings.scroll(frequency);
    const std::int32_t m = wrap32(std::int64_t{f.Max} - f.Position);
    return periodic ? m : chance_value(m);
}

bool chance(std::int32_t percent) {
    return std::int64_t{random(100)} < percent;
}

} // namespace

void Nimbrel::init_aspect() {
    const ScrollValue& ax = settings_.scroll(Param::aspect_a_x);
    const ScrollValue& ay = settings_.scroll(Param::aspect_a_y);
    aspect_amp_x_ = ratio(ax.Position, ax.Max);
    aspect_amp_y_ = ratio(ay.Position, ay.Max);
    const std::int32_t fx = settings_.pos(Param::aspect_f_x);
    const std::int32_t fy = settings_.pos(Param::aspect_f_y);
    aspect_rate_x_ = wrap32(std::int64_t{fx} * 8);
    aspect_rate_y_ = wrap32(std::int64_t{fy} * 8);
    aspect_animated_ = fx != 0 || fy != 0;
}

void Nimbrel::init_shape() {
    shape_counter_ = 0;
    shape_period_ = period_or_chance(settings_, Param::shape_freq, settings_.on(Param::shape_per));
}

void Nimbrel::init_rotation() {
    rot_counter_ = 0;
    sin_phase_ = 0;
    precession_ = to_fixed(std::int64_t{settings_.pos(Param::precess)} * 8);
    sin_rate_ = wrap32(std::int64_t{settings_.pos(Param::freq)} * 4);
    sin_amplitude_ = settings_.pos(Param::ampl) * 2.0;
    spin_range_ = wrap32(std::int64_t{settings_.pos(Param::max_rot_speed)} -
                         settings_.pos(Param::min_rot_speed));
    rot_period_ =
        period_or_chance(settings_, Param::rot_ran_freq, settings_.on(Param::rot_ran_per));
    if (settings_.on(Param::ran_rotation)) {
        new_random_rotation();
        rings_[0].changed = 0;
    }
}

void Nimbrel::init_motion() {
    const ScrollValue& damping = settings_.scroll(Param::mot_b_damping);
    const double per_pixel = ratio(400, centre_x_);
    const double share = ratio(damping.Position, damping.Max + 1.0);
    if (settings_.on(Param::mouse_motion)) {
        // Limited to 1: on narrow windows (previews) the ring would overshoot the target or swing
        // ever further out.
        motion_gain_ = std::min(per_pixel * (1 - share), 1.0);
    } else if (settings_.on(Param::ran_fluid_motion)) {
        // Here the gain is frames per pixel of glide, scaled to the window; it cannot overshoot.
        motion_gain_ = per_pixel * share;
    } else {
        motion_gain_ = 0;
    }
    glide_x_ = glide_y_ = Glide{};
    if (settings_.on(Param::ran_jump_motion))
        glide_x_.frames = period_or_chance(settings_, Param::mot_ran_freq, true);

    par_phase_a_ = par_phase_b_ = par_phase_d_ = par_phase_e_ = 0;
    par_rate_a_ = wrap32(std::int64_t{settings_.pos(Param::mot_par_a)} * 2);
    par_rate_b_ = wrap32(std::int64_t{settings_.pos(Param::mot_par_b)} * 2);
    par_rate_d_ = wrap32(std::int64_t{settings_.pos(Param::mot_par_d)} * 2);
    par_rate_e_ = wrap32(std::int64_t{settings_.pos(Param::mot_par_e)} * 2);
    const ScrollValue& c = settings_.scroll(Param::mot_par_c);
    const ScrollValue& f = settings_.scroll(Param::mot_par_f);
    par_scale_c_ = ratio(c.Position, c.Max);
    par_scale_f_ = ratio(f.Position, f.Max);

    target_x_ = centre_x_;
    target_y_ = centre_y_;
    if (settings_.on(Param::par_motion)) {
        const Point p = parametric_position();
        rings_[0].x = p.x;
        rings_[0].y = p.y;
    }
}

void Nimbrel::aspect_step() {
    if (!aspect_animated_) return;
    const LookupTables& t = tables();
    aspect_phase_x_ = angle_wrap(std::int64_t{aspect_phase_x_} + aspect_rate_x_);
    aspect_phase_y_ = angle_wrap(std::int64_t{aspect_phase_y_} + aspect_rate_y_);
    poly& lead = rings_[0];
    lead.aspect_x = 1 - (0.5 * t.sin_table[aspect_phase_x_] + 0.5) * aspect_amp_x_;
    lead.aspect_y = 1 - (0.5 * t.sin_table[aspect_phase_y_] + 0.5) * aspect_amp_y_;
    lead.changed = 1;
}

void Nimbrel::shape_step() {
    poly& lead = rings_[0];
    if (settings_.on(Param::shape_per)) {
        ++shape_counter_;
        if (shape_counter_ > shape_period_) {
            shape_counter_ = 0;
            lead.sides = pick_sides(density_);
            lead.changed = 1;
        }
    } else if (chance(shape_period_)) {
        lead.sides = pick_sides(density_);
        lead.changed = 1;
    }
}

void Nimbrel::new_random_rotation() {
    poly& lead = rings_[0];
    lead.angle = to_fixed(random(angle_units));
    const std::int64_t speed = std::int64_t{random(static_cast<std::uint32_t>(spin_range_))} +
                               settings_.pos(Param::min_rot_speed);
    const std::int64_t multiplier = std::int64_t{random(8)} + 8;
    lead.spin = to_fixed(speed * multiplier);
    lead.changed = 1;
}

void Nimbrel::rotation_step() {
    if (settings_.on(Param::no_rotation)) return;
    poly& lead = rings_[0];
    if (settings_.on(Param::sin_rotation)) {
        lead.angle = wrap32(std::int64_t{lead.angle} + precession_);
        sin_phase_ = angle_wrap(std::int64_t{sin_phase_} + sin_rate_);
        lead.spin = to_fixed(round_even(tables().sin_table[sin_phase_] * sin_amplitude_));
        lead.changed = 1;
    } else if (settings_.on(Param::rot_ran_per)) {
        ++rot_counter_;
        if (rot_counter_ > rot_period_) {
            rot_counter_ = 0;
            new_random_rotation();
        }
    } else if (settings_.on(Param::rot_ran_ran)) {
        if (chance(rot_period_)) new_random_rotation();
    }
}

// One axis of a fluid glide: when the glide is over, the next one starts towards a random target,
// lasting frames in proportion to its length.
void Nimbrel::fluid_axis(Glide& glide, std::int32_t position, std::int32_t centre,
                         std::int32_t spread) {
    ++glide.counter;
    if (glide.counter <= glide.frames) return;
    glide.start = position;
    if (settings_.on(Param::ran_uniform)) {
        glide.distance =
            wrap32(std::int64_t{random(static_cast<std::uint32_t>(2 * centre))} - position);
    } else {
        const std::int64_t offset = round_even(gaussian(0, spread));
        const std::int64_t sign = random_sign();
        glide.distance = wrap32(offset * sign + (std::int64_t{centre} - position));
    }
    glide.frames = wrap32(std::llabs(round_even(glide.distance * motion_gain_)));
    if (glide.frames > 0) {
        glide.counter = 0;
        glide.rate = (angle_units - 1) / glide.frames;
    } else {
        glide.counter = 1;
        glide.rate = angle_units - 1;
    }
}

Point Nimbrel::parametric_position() const {
    const LookupTables& t = tables();
    return {wrap32(std::int64_t{round_even(centre_x_ * par_scale_c_ * t.cos_table[par_phase_a_] *
                                           t.cos_table[par_phase_b_])} +
                   centre_x_),
            wrap32(std::int64_t{round_even(centre_y_ * par_scale_f_ * t.sin_table[par_phase_d_] *
                                           t.cos_table[par_phase_e_])} +
                   centre_y_)};
}

void Nimbrel::motion_step() {
    poly& lead = rings_[0];
    if (settings_.on(Param::no_motion)) return;
    if (settings_.on(Param::mouse_motion)) {
        if (cursor_) {
            const Point p = cursor_();
            target_x_ = p.x;
            target_y_ = p.y;
        }
        lead.x = round_even((std::int64_t{target_x_} - lead.x) * motion_gain_ + lead.x);
        lead.y = round_even((std::int64_t{target_y_} - lead.y) * motion_gain_ + lead.y);
        lead.changed = 1;
    } else if (settings_.on(Param::ran_fluid_motion)) {
        fluid_axis(glide_x_, lead.x, centre_x_, spread_x_);
        fluid_axis(glide_y_, lead.y, centre_y_, spread_y_);
        const LookupTables& t = tables();
        const auto glide_position = [&t](const Glide& g) {
            return wrap32(
                std::int64_t{round_even(
                    g.distance * t.smooth_table[angle_wrap(std::int64_t{g.counter} * g.rate)])} +
                g.start);
        };
        lead.changed = 1;
        lead.x = glide_position(glide_x_);
        lead.y = glide_position(glide_y_);
    } else if (settings_.on(Param::ran_jump_motion)) {
        ++glide_x_.counter;
        if (glide_x_.counter <= glide_x_.frames) return;
        glide_x_.counter = 0;
        if (settings_.on(Param::ran_uniform)) {
            lead.x = static_cast<std::int32_t>(random(static_cast<std::uint32_t>(2 * centre_x_)));
            lead.y = static_cast<std::int32_t>(random(static_cast<std::uint32_t>(2 * centre_y_)));
        } else {
            const std::int64_t gx = round_even(gaussian(0, spread_x_));
            lead.x = wrap32(centre_x_ - gx * random_sign());
            const std::int64_t gy = round_even(gaussian(0, spread_y_));
            lead.y = wrap32(centre_y_ - gy * random_sign());
        }
        lead.changed = 1;
    } else if (settings_.on(Param::par_motion)) {
        par_phase_a_ = angle_wrap(std::int64_t{par_phase_a_} + par_rate_a_);
        par_phase_d_ = angle_wrap(std::int64_t{par_phase_d_} + par_rate_d_);
        par_phase_b_ = angle_wrap(std::int64_t{par_phase_b_} + par_rate_b_);
        par_phase_e_ = angle_wrap(std::int64_t{par_phase_e_} + par_rate_e_);
        const Point p = parametric_position();
        lead.x = p.x;
        lead.y = p.y;
        lead.changed = 1;
    }
}

} // namespace nimbrel
