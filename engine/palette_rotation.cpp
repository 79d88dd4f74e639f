// The engine's palette: built at construction from a palette file or the RGB walk, rotated every
// frame.
#include "engine/fixed_point.h"
#include "engine/nimbrel.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <array>

namespace nimbrel {

void Nimbrel::make_palette() {
    colour_count_ = 0;
    if (use_palette_) {
        const std::vector<std::string>& list = settings_.palette_list();
        if (!list.empty()) {
            if (settings_.palette_index() < 0)
                settings_.set_palette_index(
                    static_cast<int>(random(static_cast<std::uint32_t>(list.size()))));
            const std::string& name = list[static_cast<std::size_t>(settings_.palette_index())];
            if (load_palette_file(name, log_palette_, palette_, alerts_)) {
                palette_made_ = true;
                colour_count_ = log_palette_.loaded_count;
            }
        }
        // No list, no readable file or a file without colours: the RGB walk takes over, so the
        // rings always have a colour range.
        if (colour_count_ <= 0) use_palette_ = false;
    }
    if (!use_palette_) {
        animator_ = std::make_unique<pal_animator>(settings_.pos(Param::control_points),
                                                   settings_.pos(Param::Gamma),
                                                   settings_.pos(Param::eccentricity));
        colour_count_ = animator_->colour_count();
        make_grey_palette(log_palette_, palette_);
        palette_made_ = true;
        log_palette_.loaded_count = colour_count_;
        palette_.animate(first_animated_entry, colour_count_, animator_->output().data());
    }
}

void Nimbrel::rotate_palette() {
    palette_phase_ = wrap32(std::int64_t{palette_phase_} + palette_rate_);
    const std::int32_t s = fixed_int(palette_phase_);
    palette_phase_ = wrap32(std::int64_t{palette_phase_} - to_fixed(s));

    const int n = colour_count_;
    if (n <= 0) return;
    // A step beyond the colour count (a small palette and fast cycling) turns by its remainder.
    const int step = s % n;

    if (use_palette_) {
        if (step == 0) return;
        std::array<PaletteEntry, max_animated_colours> old{};
        palette_.read(first_animated_entry, n, old.data());
        if (step > 0) {
            palette_.animate(first_animated_entry, n - step, old.data() + step);
            palette_.animate(first_animated_entry + n - step, step, old.data());
        } else {
            const int m = -step;
            palette_.animate(first_animated_entry + m, n - m, old.data());
            palette_.animate(first_animated_entry, m, old.data() + n - m);
        }
        return;
    }

    animator_->walk_step();
    walk_offset_ += step;
    if (walk_offset_ < 0)
        walk_offset_ += n;
    else if (walk_offset_ > n - 1)
        walk_offset_ -= n;
    // Entry 10 + k shows output entry (k + walk_offset) mod n.
    const PaletteEntry* output = animator_->output().data();
    palette_.animate(first_animated_entry, n - walk_offset_, output + walk_offset_);
    if (walk_offset_ > 0)
        palette_.animate(first_animated_entry + n - walk_offset_, walk_offset_, output);
}

} // namespace nimbrel
