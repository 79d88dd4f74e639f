// Frames per second of the ring engine on a full-HD 8-bit surface, and the memory an engine with
// its surface takes.
#include "engine/indexed_surface.h"
#include "engine/nimbrel.h"
#include "engine/software_palette.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdlib>
#include <malloc.h>
#include <memory>
#include <vector>

using namespace nimbrel;

namespace {

// The portable surface and palette, as nimbrel-render and the emulated display use them.
class BenchSurface : public IndexedSurface, public SoftwarePalette, public AlertSink {
  public:
    BenchSurface(int w, int h) : IndexedSurface(w, h) {}
    void alert(const std::string&) override {}
};

// Draws nothing: what the engine itself costs, without the pixels.
class NullSurface : public BenchSurface {
  public:
    using BenchSurface::BenchSurface;
    void pixel(int, int, std::uint8_t) override {}
    void polyline(const Point*, int, std::uint8_t) override {}
};

void default_setting(TSettings_Form& s) {
    s.set_on(Param::ran_fluid_motion, true);
    s.set_on(Param::sin_rotation, true);
}

void heavy_setting(TSettings_Form& s) {
    s.set_max(Param::max_polygons, 500);
    s.set_position(Param::max_polygons, 500);
    for (Param p :
         {Param::density1, Param::density2, Param::density3, Param::density4, Param::density5,
          Param::density6, Param::density7, Param::density8, Param::density9, Param::density10})
        s.set_position(p, -100);
    s.set_position(Param::magnification, 256);
    s.set_position(Param::perspective, 128);
    s.set_on(Param::rub_out, true);
    s.set_on(Param::RGBwalk, true);
    s.set_position(Param::palette_inc, 50);
}

// The heavy setting with every ring erased and redrawn elsewhere each frame.
void heavy_moving_setting(TSettings_Form& s) {
    heavy_setting(s);
    default_setting(s);
}

template <void (*Setup)(TSettings_Form&), typename Surface = BenchSurface>
void BM_FrameStep(benchmark::State& state) {
    TSettings_Form settings;
    Setup(settings);
    set_random_seed(12345);
    Surface surface(1920, 1080);
    Nimbrel engine(settings, surface, surface, surface);
    for (int i = 0; i < 600; ++i)
        engine.frame_step(false); // every slot holds a ring
    for (auto _ : state)
        engine.frame_step(false);
    state.SetItemsProcessed(state.iterations());
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK_TEMPLATE(BM_FrameStep, default_setting)
    ->Name("FrameStep/default")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FrameStep, heavy_setting)
    ->Name("FrameStep/heavy")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(BM_FrameStep, heavy_moving_setting)
    ->Name("FrameStep/heavy_moving")
    ->Unit(benchmark::kMicrosecond);
void BM_FrameStepWithoutPixels(benchmark::State& state) {
    BM_FrameStep<heavy_moving_setting, NullSurface>(state);
}
BENCHMARK(BM_FrameStepWithoutPixels)
    ->Name("FrameStep/heavy_moving_without_pixels")
    ->Unit(benchmark::kMicrosecond);

// Heap (small blocks and mapped ones) in use.
double heap_bytes() {
    const struct mallinfo2 m = mallinfo2();
    return static_cast<double>(m.uordblks) + static_cast<double>(m.hblkhd);
}

// Heap taken by a heavy engine, its surface and (when first made here) the lookup tables, at full
// HD.
void BM_EngineMemory(benchmark::State& state) {
    for (auto _ : state) {
        const double before = heap_bytes();
        {
            TSettings_Form settings;
            heavy_moving_setting(settings);
            auto surface = std::make_unique<BenchSurface>(1920, 1080);
            auto engine = std::make_unique<Nimbrel>(settings, *surface, *surface, *surface);
            engine->frame_step(false);
            state.counters["MB"] = (heap_bytes() - before) / (1024.0 * 1024.0);
        }
    }
}
BENCHMARK(BM_EngineMemory)->Iterations(1);

} // namespace
