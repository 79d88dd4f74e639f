// Soak: the ring engine through many random valid settings on small surfaces, for a million
// frames when NIMBREL_SOAK_FRAMES says so. Under the sanitizers any bad access or undefined
// operation stops the run; the heap in use must not grow between the first tenth and the end.
#include "engine/indexed_surface.h"
#include "engine/nimbrel.h"
#include "engine/palette_file.h"
#include "engine/software_palette.h"
#include "settings/parameters.h"
#include "settings/random.h"
#include "settings/settings_form.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <malloc.h>
#include <memory>
#include <random>
#include <string>

#if defined(__SANITIZE_ADDRESS__)
#define NIMBREL_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define NIMBREL_SOAK_ASAN 1
#endif
#endif
#ifdef NIMBREL_SOAK_ASAN
// From the sanitizer runtime's allocator interface; GCC ships no header for it.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

using namespace nimbrel;

namespace {

class SoakSurface : public IndexedSurface, public SoftwarePalette, public AlertSink {
  public:
    SoakSurface(int w, int h) : IndexedSurface(w, h) {}
    void alert(const std::string& text) override { alerts += text + "\n"; }
    std::string alerts;
};

// Bytes the program has allocated and not freed. ASan replaces malloc, so glibc's own count
// would stay near zero there; ask the sanitizer's allocator instead.
std::int64_t heap_in_use() {
#ifdef NIMBREL_SOAK_ASAN
    return static_cast<std::int64_t>(__sanitizer_get_current_allocated_bytes());
#else
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
#endif
}

std::int64_t env_number(const char* name, std::int64_t fallback) {
    const char* text = std::getenv(name);
    if (!text || !*text) return fallback;
    return std::strtoll(text, nullptr, 10);
}

constexpr int kMostRings = 50;
constexpr int kSmallest = 32, kLargest = 200;

// Every parameter at a random place in its own range, one choice per radio group; the colour
// source alternates so both are covered evenly.
void randomise(TSettings_Form& form, std::mt19937& rng, bool use_palette) {
    auto pick = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    Param first_of_group[8] = {};
    int seen_in_group[8] = {};
    for (int i = 0; i < Param_count; ++i) {
        const auto p = static_cast<Param>(i);
        const ParamInfo& info = param_info(p);
        switch (info.kind) {
        case Kind::Scroll:
            form.set_position(p, pick(info.min, info.max));
            break;
        case Kind::Check:
            form.set_on(p, pick(0, 1) == 1);
            break;
        case Kind::Radio: {
            // Reservoir choice: each member of the group equally likely.
            const int g = static_cast<int>(info.group);
            if (pick(0, seen_in_group[g]) == 0) first_of_group[g] = p;
            ++seen_in_group[g];
            break;
        }
        case Kind::PaletteChoice:
            break;
        }
    }
    for (int g = 0; g < 8; ++g)
        if (seen_in_group[g] > 0) form.set_on(first_of_group[g], true);
    // Ring count and surface size set the cost of a frame; a million frames under the sanitizers
    // must stay near a minute and a half, so the count keeps to the lower part of its range.
    form.set_position(Param::max_polygons, pick(0, kMostRings));
    form.set_on(use_palette ? Param::UsePalette : Param::RGBwalk, true);
    const int palettes = static_cast<int>(form.palette_list().size());
    form.set_palette_index(palettes > 0 ? pick(-1, palettes - 1) : -1);
}

TEST(EngineSoak, RandomSettingsRunCleanWithFlatHeap) {
    const std::int64_t total = env_number("NIMBREL_SOAK_FRAMES", 20000);
    const auto seed = static_cast<std::uint32_t>(env_number("NIMBREL_SOAK_SEED", 20261206));
    ASSERT_GT(total, 0);
    const std::filesystem::path palettes = std::filesystem::path(NIMBREL_REPO_DATA) / "Palette";
    set_palette_folder(palettes);
    std::mt19937 rng(seed);

    const auto started = std::chrono::steady_clock::now();
    std::int64_t done = 0, engines = 0, after_tenth = -1;
    while (done < total) {
        TSettings_Form form(palettes);
        const bool use_palette = engines % 2 == 0;
        randomise(form, rng, use_palette);
        const int w = std::uniform_int_distribution<int>(kSmallest, kLargest)(rng);
        const int h = std::uniform_int_distribution<int>(kSmallest, kLargest)(rng);
        const std::int64_t frames = std::min<std::int64_t>(
            std::uniform_int_distribution<int>(500, 8000)(rng), total - done);
        set_random_seed(static_cast<std::uint32_t>(rng()));
        {
            SoakSurface surface(w, h);
            Nimbrel engine(form, surface, surface, surface);
            for (std::int64_t f = 0; f < frames; ++f)
                engine.frame_step(f % 97 == 96); // now and then a colours-only step, as in a pause
            ASSERT_EQ(surface.width(), w);
            ASSERT_EQ(surface.alerts, "") << "engine " << engines;
        }
        done += frames;
        ++engines;
        // Taken between engines, so no engine's own buffers are counted.
        if (after_tenth < 0 && done * 10 >= total) after_tenth = heap_in_use();
    }
    const std::int64_t at_end = heap_in_use();
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("soak: %lld frames, %lld engines, seed %u, %.1f s; heap in use %lld bytes after "
                "the first tenth, %lld at the end\n",
                static_cast<long long>(done), static_cast<long long>(engines), seed, seconds,
                static_cast<long long>(after_tenth), static_cast<long long>(at_end));
    EXPECT_EQ(done, total);
    EXPECT_LT(at_end - after_tenth, 1 << 20) << "the heap grew by more than 1 MB";
}

} // namespace
