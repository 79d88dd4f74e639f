// Frames per second of the ring engine on a full-HD 8-bit surface, and the memory an engine with
// its surface takes.
//
// BenchSurface is a stand-in until the portable indexed surface is on main: a plain 8-bit buffer
// with clipped lines (every segment without its last pixel), enough to charge the engine for real
// pixel work.
#include "engine/nimbrel.h"
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

class BenchSurface : public DrawTarget, public PaletteTarget, public AlertSink {
  public:
    BenchSurface(int w, int h) : w_(w), h_(h), pixels_(static_cast<std::size_t>(w) * h) {}
    int width() const override { return w_; }
    int height() const override { return h_; }
    void fill_black() override { std::fill(pixels_.begin(), pixels_.end(), 0); }
    void pixel(int x, int y, std::uint8_t index) override {
        if (x >= 0 && y >= 0 && x < w_ && y < h_)
            pixels_[static_cast<std::size_t>(y) * w_ + x] = index;
    }
    void polyline(const Point* p, int count, std::uint8_t index) override {
        for (int i = 0; i + 1 < count; ++i)
            segment(p[i], p[i + 1], index);
    }
    void system_entries(PaletteEntries& into) const override { into = standard_system_entries(); }
    bool create(const PaletteEntries& e) override {
        entries_ = e;
        return true;
    }
    void animate(int start, int count, const PaletteEntry* e) override {
        std::copy(e, e + count, entries_.begin() + start);
    }
    void read(int start, int count, PaletteEntry* out) const override {
        std::copy(entries_.begin() + start, entries_.begin() + start + count, out);
    }
    void alert(const std::string&) override {}

  private:
    static std::int64_t ceil_div(std::int64_t n, std::int64_t d) { // d > 0
        return n >= 0 ? (n + d - 1) / d : -((-n) / d);
    }

    // Step i along the major axis lands on minor offset q(i) = floor((2 i minor + major) /
    // (2 major)); only the steps inside the surface are walked.
    void segment(Point a, Point b, std::uint8_t index) {
        const std::int64_t dx = std::int64_t{b.x} - a.x, dy = std::int64_t{b.y} - a.y;
        const bool x_major = std::llabs(dx) >= std::llabs(dy);
        const std::int64_t major = x_major ? std::llabs(dx) : std::llabs(dy);
        const std::int64_t minor = x_major ? std::llabs(dy) : std::llabs(dx);
        if (major == 0) return;
        const int smaj = (x_major ? dx : dy) < 0 ? -1 : 1;
        const int smin = (x_major ? dy : dx) < 0 ? -1 : 1;
        const std::int64_t maj0 = x_major ? a.x : a.y, min0 = x_major ? a.y : a.x;
        const std::int64_t maj_limit = x_major ? w_ : h_, min_limit = x_major ? h_ : w_;

        // Steps whose major coordinate is on the surface.
        std::int64_t lo = 0, hi = major - 1;
        if (smaj > 0) {
            lo = std::max(lo, -maj0);
            hi = std::min(hi, maj_limit - 1 - maj0);
        } else {
            lo = std::max(lo, maj0 - (maj_limit - 1));
            hi = std::min(hi, maj0);
        }
        // Steps whose minor coordinate is on the surface: q within [qlo, qhi].
        const std::int64_t qlo = smin > 0 ? -min0 : min0 - (min_limit - 1);
        const std::int64_t qhi = smin > 0 ? min_limit - 1 - min0 : min0;
        if (minor == 0) {
            if (qlo > 0 || qhi < 0) return;
        } else {
            lo = std::max(lo, ceil_div(2 * major * qlo - major, 2 * minor));
            hi = std::min(hi, ceil_div(2 * major * (qhi + 1) - major, 2 * minor) - 1);
        }
        if (lo > hi) return;

        const std::int64_t num = 2 * lo * minor + major;
        std::int64_t r = num % (2 * major);
        const std::int64_t q = num / (2 * major);
        const std::int64_t x = x_major ? maj0 + smaj * lo : min0 + smin * q;
        const std::int64_t y = x_major ? min0 + smin * q : maj0 + smaj * lo;
        std::uint8_t* p = pixels_.data() + y * w_ + x;
        const std::ptrdiff_t maj_step = x_major ? smaj : smaj * std::ptrdiff_t{w_};
        const std::ptrdiff_t min_step = x_major ? smin * std::ptrdiff_t{w_} : smin;
        for (std::int64_t i = lo; i <= hi; ++i) {
            *p = index;
            p += maj_step;
            r += 2 * minor;
            if (r >= 2 * major) {
                r -= 2 * major;
                p += min_step;
            }
        }
    }

    int w_, h_;
    std::vector<std::uint8_t> pixels_;
    PaletteEntries entries_{};
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
