// Where the progress box goes and how big it is, from the size of one character of its font.
#pragma once

#include "saverkit/dpi.h"

#include <string>

namespace nimbrel {

using BoxRect = DpiRect; // left, top, width, height

struct ThinkingBoxLayout {
    BoxRect box;       // screen coordinates
    BoxRect bar;       // inside the bar panel; empty without a bar
    int bar_panel = 0; // height of the panel at the bottom that holds the bar
};

inline constexpr int Bar_panel_height = 24; // pixels at 96 dots per inch

// char_width/char_height: the extent of "8" in the box's fixed-pitch font (made at `dpi`); the
// margins and the bar scale with `dpi` too.
inline ThinkingBoxLayout thinking_box_layout(const std::string& text, int char_width,
                                             int char_height, int screen_width, int screen_height,
                                             bool with_bar, int dpi) {
    const auto px = [dpi](int design) { return Scale_for_dpi(design, dpi); };
    ThinkingBoxLayout l;
    l.bar_panel = with_bar ? px(Bar_panel_height) : 0;
    l.box.width = static_cast<int>(text.size()) * char_width + px(12);
    l.box.height = char_height + px(6) + l.bar_panel;
    l.box.left = (screen_width - l.box.width) / 2;
    l.box.top = (screen_height - l.box.height) / 2;
    if (with_bar) l.bar = BoxRect{px(4), px(4), l.box.width - px(8), px(16)};
    return l;
}

} // namespace nimbrel
