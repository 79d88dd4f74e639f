#include "engine/nimbrel.h"

#include "engine/fixed_point.h"
#include "engine/projection.h"
#include "engine/tables.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <algorithm>

namespace nimbrel {

Nimbrel::Nimbrel(TSettings_Form& settings, DrawTarget& window, PaletteTarget& palette,
                 AlertSink& alerts, CursorPosition cursor)
    : settings_(settings), window_(window), palette_(palette), alerts_(alerts),
      cursor_(std::move(cursor)) {
    make_tables();
    use_palette_ = settings_.on(Param::UsePalette);
    make_palette();
    colour_max_ = colour_count_ - 1;
    walk_offset_ = 0;
    palette_phase_ = 0;
    palette_rate_ = wrap32(std::int64_t{settings_.pos(Param::palette_inc)} * 5000);

    // Window geometry, then a black start.
    const int w = window_.width();
    const int h = window_.height();
    centre_x_ = (w - 1) / 2;
    centre_y_ = (h - 1) / 2;
    spread_x_ = centre_x_ / 4;
    spread_y_ = centre_y_ / 4;
    radius_ = std::min(centre_x_, centre_y_);
    clear_window(window_, alerts_);

    density_ = build_density_table(settings_);
    aspect_phase_x_ = aspect_phase_y_ = 0;

    // A negative count (hand-edited range) leaves just the undrawn lead ring.
    const std::int32_t polygons = settings_.pos(Param::max_polygons);
    ring_count_ = polygons == 0 ? 50 : std::clamp(polygons, 0, max_rings);

    const Depth depth = Depth::from(settings_, ring_count_, radius_);
    init_aspect();
    const double start_aspect_x = aspect_animated_ ? 1 - 0.5 * aspect_amp_x_ : aspect_amp_x_;
    const double start_aspect_y = aspect_animated_ ? 1 - 0.5 * aspect_amp_y_ : aspect_amp_y_;

    rings_.resize(static_cast<std::size_t>(ring_count_) + 1);
    for (int i = 0; i <= ring_count_; ++i) {
        poly& ring = rings_[i];
        ring.colour = 0;
        ring.spin = 0;
        ring.x = centre_x_;
        ring.y = centre_y_;
        ring.sides = pick_sides(density_);
        ring.changed = 0;
        ring.aspect_x = start_aspect_x;
        ring.aspect_y = start_aspect_y;
        ring.size = slot_size(depth, i);
        ring.angle = 0;
        make_vertices(ring);
    }
    rings_[0].colour = to_fixed(random(static_cast<std::uint32_t>(colour_max_)));

    init_shape();
    init_rotation();
    colour_rate_ = wrap32(std::int64_t{settings_.pos(Param::colour_step)} * 6000);
    colour_wrap_ = to_fixed(colour_max_);
    init_motion();

    // Only the lead ring has a colour at first; the rings appear one slot per frame.
    for (int i = 1; i <= ring_count_; ++i)
        rings_[i].colour = blank_colour;

    design_fps_ = settings_.pos(Param::speed_scroll);
}

Nimbrel::~Nimbrel() {
    if (!palette_made_ || !palette_.release()) alerts_.alert("Palette not deleted #-1");
}

void Nimbrel::frame_step(bool colours_only) {
    if (!window_.begin_frame()) alerts_.alert("Device context invalid #3");
    rotate_palette();
    if (!colours_only) {
        hand_over();
        aspect_step();
        shape_step();
        rotation_step();
        colour_step();
        motion_step();
    }
    if (!window_.end_frame()) alerts_.alert("Device context not released #4");
}

// From the outside inwards, so every slot receives its inner neighbour's state of the previous
// frame; `changed` travels with the state and is cleared behind it.
void Nimbrel::hand_over() {
    const bool erase = settings_.on(Param::rub_out);
    const bool sync = settings_.on(Param::aspect_sync);
    const bool vertices_only = settings_.on(Param::draw_vertices);
    const poly& lead = rings_[0];
    for (int i = ring_count_; i >= 1; --i) {
        poly& outer = rings_[i];
        poly& inner = rings_[i - 1];
        if (erase && inner.changed) erase_ring(window_, outer, vertices_only);
        outer.colour = inner.colour;
        outer.spin = inner.spin;
        outer.x = inner.x;
        outer.y = inner.y;
        outer.sides = inner.sides;
        outer.changed = inner.changed;
        outer.aspect_x = inner.aspect_x;
        outer.aspect_y = inner.aspect_y;
        outer.angle = wrap32(std::int64_t{inner.angle} + inner.spin);
        inner.changed = 0;
        make_vertices(outer);
        // The synced aspect shows from the next hand-over on: the points stay as computed.
        if (sync) {
            outer.aspect_x = lead.aspect_x;
            outer.aspect_y = lead.aspect_y;
        }
        draw_ring(window_, outer, vertices_only);
    }
}

void Nimbrel::colour_step() {
    poly& lead = rings_[0];
    if (lead.colour == blank_colour) return;
    std::int64_t c = std::int64_t{lead.colour} + colour_rate_;
    const std::int64_t wrap = colour_wrap_;
    if (c > wrap)
        c -= wrap;
    else if (c < 0)
        c += wrap;
    // A step larger than the colour range (palettes of a handful of colours) would carry the
    // colour out of the animated entries for good; bring it back into the range.
    if (c < 0 || c > wrap) c = wrap > 0 ? ((c % wrap) + wrap) % wrap : 0;
    lead.colour = static_cast<std::int32_t>(c);
}

} // namespace nimbrel
