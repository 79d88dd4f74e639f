#include "app/screen_layout.h"

namespace nimbrel {
namespace {

bool inside(const ScreenRect& inner, const ScreenRect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

} // namespace

ScreenLayout Lay_out_screens(const std::vector<MonitorArea>& monitors,
                             const ScreenRect& primary_screen) {
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
    for (const MonitorArea& m : monitors)
        if (&m != primary && !m.rect.empty() && !inside(m.rect, layout.saver))
            layout.covers.push_back(m.rect);
    return layout;
}

} // namespace nimbrel
