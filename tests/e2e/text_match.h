// Recognising the saver's message on the screen without reading pixels as text: the expected
// text is laid out the way the saver lays out its message (measured word-wrapped in 150 pixels
// at 96 dots per inch, then drawn centred in the measured rectangle) in each font the saver may
// draw with, and compared with what is lit on the screen, line by line.
#pragma once

#include "image.h"

#include <string>
#include <vector>

namespace e2e {

struct TextMatch {
    bool found = false;
    std::string font;   // the font whose rendering matched
    std::string detail; // what was compared, for a failure message
};

// Does the lit text in `picture` read as one of `texts`? With `prefix`, the picture may hold
// further lines after the text's last line. `dpi`: the saver's resolution, which sizes its font
// (8 points) and wrap width (150 pixels at 96 dots per inch).
TextMatch match_message(const Image& picture, const std::vector<std::string>& texts,
                        bool prefix = false, int dpi = 96);

} // namespace e2e
