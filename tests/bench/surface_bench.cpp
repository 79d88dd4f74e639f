#include "engine/bgra_frame.h"
#include "engine/indexed_surface.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

using namespace nimbrel;

namespace {

IndexedSurface busy_frame(int width, int height) {
    IndexedSurface s(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            s.pixel(x, y, static_cast<std::uint8_t>(x * 7 + y * 13));
    return s;
}

PaletteEntries rainbow() {
    PaletteEntries p{};
    for (int i = 0; i < 256; ++i)
        p[i] = {static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(255 - i),
                static_cast<std::uint8_t>(i * 3), PC_RESERVED};
    return p;
}

std::vector<Point> ring(int sides, double radius, int cx, int cy) {
    std::vector<Point> points;
    for (int k = 0; k <= sides; ++k) {
        const double a = 2 * M_PI * (k % sides) / sides + 0.1;
        points.push_back({static_cast<std::int32_t>(std::lround(cx + radius * std::cos(a))),
                          static_cast<std::int32_t>(std::lround(cy + radius * std::sin(a)))});
    }
    return points;
}

void BM_ToBgra32_1920x1080(benchmark::State& state) {
    const IndexedSurface frame = busy_frame(1920, 1080);
    const PaletteEntries palette = rainbow();
    std::vector<std::uint32_t> out(1920 * 1080);
    for (auto _ : state) {
        to_bgra32(frame, palette, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * 1920 * 1080);
}
BENCHMARK(BM_ToBgra32_1920x1080)->Unit(benchmark::kMillisecond);

// A ring far larger than the window: only its visible part may cost anything.
void BM_Polyline_Ring(benchmark::State& state) {
    IndexedSurface frame(1920, 1080);
    const std::vector<Point> points = ring(10, static_cast<double>(state.range(0)), 959, 539);
    for (auto _ : state) {
        frame.polyline(points.data(), static_cast<int>(points.size()), 42);
        benchmark::DoNotOptimize(frame.indices());
    }
}
BENCHMARK(BM_Polyline_Ring)->Arg(500)->Arg(1000000)->Arg(1000000000)->Unit(benchmark::kMicrosecond);

} // namespace
