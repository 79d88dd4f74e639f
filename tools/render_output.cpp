#include "tools/render_output.h"

#include "tools/gif_writer.h"
#include "tools/png_writer.h"

#include <algorithm>

namespace nimbrel {

int gif_delay_cs(int frames_per_second, int every) {
    const long long fps = std::max(frames_per_second, 1);
    const long long cs = (200LL * every + fps) / (2 * fps); // rounded
    return static_cast<int>(std::clamp(cs, 2LL, 65535LL));
}

bool render_frames(const RenderOptions& options, FrameSource& source, std::string& error) {
    if (!options.gif_file.empty()) {
        GifAnimation gif(options.gif_file, source.frame().width(), source.frame().height());
        const int delay = gif_delay_cs(source.frames_per_second(), options.every);
        for (int i = 1; i <= options.frames && gif.ok(); ++i) {
            source.step();
            if (i % options.every == 0) gif.add_frame(source.frame(), source.palette(), delay);
        }
        if (!gif.close()) {
            error = gif.error();
            return false;
        }
        return true;
    }
    for (int i = 1; i <= options.frames; ++i) {
        source.step();
        if (i % options.every != 0) continue;
        const auto name = frame_file_name(options.png_pattern, i);
        if (!name) {
            error = "bad --png pattern " + options.png_pattern;
            return false;
        }
        if (!write_png(*name, source.frame(), source.palette(), error)) return false;
    }
    return true;
}

} // namespace nimbrel
