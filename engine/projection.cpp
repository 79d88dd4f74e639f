#include "engine/projection.h"

#include "engine/fixed_point.h"
#include "engine/tables.h"
#include "settings/settings_form.h"

#include <cmath>

namespace nimbrel {

Depth Depth::from(const TSettings_Form& settings, int ring_count, int radius) {
    const ScrollValue& vanishing = settings.scroll(Param::vanishing);
    const ScrollValue& magnification = settings.scroll(Param::magnification);
    const ScrollValue& perspective = settings.scroll(Param::perspective);
    Depth d;
    d.ring_count = ring_count;
    d.in_out = settings.on(Param::in_out);
    d.vanishing = ratio(vanishing.Position, vanishing.Max + 1.0);
    d.scale = radius * ratio(4, magnification.Max) * magnification.Position;
    d.step = ratio(1 - d.vanishing, ring_count);
    d.exponent_factor = ratio(5, perspective.Max);
    d.perspective = perspective.Position;
    return d;
}

double depth_power(double base, double exponent) {
    return base > 0 ? std::exp(exponent * std::log(base)) : 0.0;
}

double slot_size(const Depth& depth, int slot) {
    const int steps = depth.in_out ? slot : depth.ring_count - slot;
    const double z = depth.vanishing + steps * depth.step;
    const double pq = depth.perspective * depth.exponent_factor;
    const double fraction =
        depth.perspective >= 0 ? depth_power(z, 1 + pq) : 1 - depth_power(1 - z, 1 - pq);
    return round_even(fraction * depth.scale);
}

void make_vertices(poly& ring) {
    const LookupTables& t = tables();
    const int n = ring.sides;
    int a = angle_index(ring.angle);
    if (n >= 2) {
        const int step = t.side_step[n];
        for (int k = 0; k < n; ++k) {
            ring.points[k] = {round_even(t.cos_table[a] * ring.aspect_x * ring.size + ring.x),
                              round_even(t.sin_table[a] * ring.aspect_y * ring.size + ring.y)};
            a = angle_wrap(a + step);
        }
        ring.points[n] = ring.points[0];
    } else {
        // A point or nothing: here the offset is rounded before the centre is added.
        const std::int64_t dx = round_even(t.cos_table[a] * ring.aspect_x * ring.size);
        const std::int64_t dy = round_even(t.sin_table[a] * ring.aspect_y * ring.size);
        ring.points[0] = {wrap32(dx + ring.x), wrap32(dy + ring.y)};
    }
}

std::uint8_t ring_entry(const poly& ring) {
    return static_cast<std::uint8_t>(fixed_int(ring.colour) + first_animated_entry);
}

namespace {

void outline(DrawTarget& target, const poly& ring, std::uint8_t entry, bool vertices_only) {
    const int n = ring.sides;
    if (vertices_only) {
        for (int k = 0; k < n; ++k)
            target.pixel(ring.points[k].x, ring.points[k].y, entry);
    } else if (n > 2) {
        target.polyline(ring.points.data(), n + 1, entry);
    } else if (n == 2) {
        target.polyline(ring.points.data(), 2, entry);
    } else {
        target.pixel(ring.points[0].x, ring.points[0].y, entry);
    }
}

} // namespace

void draw_ring(DrawTarget& target, const poly& ring, bool vertices_only) {
    outline(target, ring, ring_entry(ring), vertices_only);
}

void erase_ring(DrawTarget& target, const poly& ring, bool vertices_only) {
    outline(target, ring, 0, vertices_only);
}

void clear_window(DrawTarget& target, AlertSink& alerts) {
    if (!target.begin_frame()) alerts.alert("Device context invalid #5");
    target.fill_black();
    if (!target.end_frame()) alerts.alert("Device context not released #6");
}

} // namespace nimbrel
