// Perspective sizes of the slots, vertices of a ring, and drawing/erasing through palette indices.
#pragma once

#include "engine/draw.h"
#include "engine/poly.h"

namespace nimbrel {

class TSettings_Form;

// Depth parameters, fixed for one engine.
struct Depth {
    int ring_count = 0;         // N
    bool in_out = false;        // slot N largest (states fly towards the viewer)
    double vanishing = 0;       // v, depth of the vanishing point, 0 ... 1
    double scale = 0;           // S, size of a ring at depth 1
    double step = 0;            // d = (1 - v) / N
    double exponent_factor = 0; // q = 5 / Max of perspective
    int perspective = 0;        // p

    static Depth from(const TSettings_Form& settings, int ring_count, int radius);
};

// b^e as exp(e ln b); 0 when b is 0 (or below: depths outside 0 ... 1 only come from odd ranges).
double depth_power(double base, double exponent);
// Radius in pixels of slot i: a whole number, stored as a double.
double slot_size(const Depth& depth, int slot);

// Points of a ring from its sides, angle, aspect, size and centre.
void make_vertices(poly& ring);

// Palette entry a ring is drawn in: 10 + integer part of its colour (0 for a blank slot).
std::uint8_t ring_entry(const poly& ring);

void draw_ring(DrawTarget& target, const poly& ring, bool vertices_only);
void erase_ring(DrawTarget& target, const poly& ring, bool vertices_only);

// Black over the whole client area when an engine attaches to a window.
void clear_window(DrawTarget& target, AlertSink& alerts);

} // namespace nimbrel
