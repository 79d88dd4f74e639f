#include "app/screen_layout.h"

#include <algorithm>

namespace nimbrel {
namespace {

bool inside(const ScreenRect& inner, const ScreenRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

ScreenLayout Lay_out_screens(const std::vector<MonitorArea>& monitors,
                             const ScreenRect& primary_screen, bool rings_on_others) {
    ScreenLayout layout;
    layout.saver = primary_screen;
    const MonitorArea* primary = nullptr;
    for (const MonitorArea& m : monitors) {
        if (m.primary && !m.rect.empty()) {
            primary = &m;
            layout.saver = m.rect;
            break;
        }
    }
    std::vector<ScreenRect> taken{layout.saver};
    for (const MonitorArea& m : monitors) {
        if (&m == primary || m.rect.empty()) continue;
        if (std::any_of(taken.begin(), taken.end(),
                        [&](const ScreenRect& t) { return inside(m.rect, t); }))
            continue;
        taken.push_back(m.rect);
        (rings_on_others ? layout.rings : layout.covers).push_back(m.rect);
    }
    return layout;
}

} // namespace nimbrel
