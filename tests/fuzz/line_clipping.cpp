// Arbitrary segments on a surface of any size: the clipped walk lights only pixels inside the
// surface, at most one per step of the longer side, and, where the whole segment can be walked,
// exactly the visible pixels of the unclipped segment, in the same order. Input: width and height
// (one byte each), a flag byte, then the two end points as four 32-bit numbers; with the flag's
// low bit the points are brought into a walkable range.
#include "fuzz_check.h"

#include "engine/indexed_surface.h"
#include "engine/line_raster.h"

#include <cstring>
#include <vector>

using namespace nimbrel;
using nimbrel_fuzz::check;

namespace {

struct Pixel {
    std::int32_t x, y;
    bool operator==(const Pixel& o) const { return x == o.x && y == o.y; }
};

std::vector<Pixel> walk(const LineRun& run) {
    std::vector<Pixel> pixels;
    walk_run(run, [&](std::int32_t x, std::int32_t y) { pixels.push_back({x, y}); });
    return pixels;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 3 + 16) return 0;
    const int w = data[0], h = data[1];
    const bool walkable = (data[2] & 1) != 0;
    std::int32_t v[4];
    std::memcpy(v, data + 3, sizeof v);
    if (walkable)
        for (std::int32_t& c : v)
            c = static_cast<std::int32_t>(static_cast<std::uint32_t>(c) % 4096) - 2048;
    const Point from{v[0], v[1]}, to{v[2], v[3]};

    const LineRun run = clip_segment(from, to, w, h);
    check(run.count >= 0 && run.count <= std::max(w, h), "at most one pixel per step inside");
    const std::vector<Pixel> clipped = walk(run);
    for (const Pixel& p : clipped)
        check(p.x >= 0 && p.y >= 0 && p.x < w && p.y < h, "only pixels inside the surface");

    if (walkable) {
        // The same segment moved into the middle of a surface that holds all of it.
        constexpr std::int32_t shift = 4096, big = 3 * 4096;
        const LineRun whole =
            clip_segment({from.x + shift, from.y + shift}, {to.x + shift, to.y + shift}, big, big);
        std::vector<Pixel> visible;
        for (Pixel p : walk(whole)) {
            p.x -= shift;
            p.y -= shift;
            if (p.x >= 0 && p.y >= 0 && p.x < w && p.y < h) visible.push_back(p);
        }
        check(clipped == visible, "the clipped walk lights the visible pixels of the whole one");
    }

    IndexedSurface surface(w, h);
    const Point points[3] = {from, to, from};
    surface.polyline(points, 3, 7);
    return 0;
}
