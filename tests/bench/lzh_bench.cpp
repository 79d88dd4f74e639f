// Packing and unpacking speed of the settings codec on ~5 MB of settings-like text.
#include "settings/lzh.h"
#include "unit/lzh_sample_text.h"

#include <benchmark/benchmark.h>

namespace {

const std::vector<std::uint8_t>& sample() {
    static const auto text = nimbrel::testing::sample_settings_text(5 << 20);
    return text;
}

void BM_LzhPack(benchmark::State& state) {
    const auto& plain = sample();
    for (auto _ : state)
        benchmark::DoNotOptimize(nimbrel::lzh_pack(plain));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}

void BM_LzhUnpack(benchmark::State& state) {
    const auto& plain = sample();
    const auto packed = nimbrel::lzh_pack(plain);
    state.counters["ratio"] = static_cast<double>(plain.size()) / packed.size();
    for (auto _ : state)
        benchmark::DoNotOptimize(nimbrel::lzh_unpack(packed));
    // Throughput counts the unpacked bytes, the size the caller ends up with.
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * plain.size()));
}

} // namespace

BENCHMARK(BM_LzhPack)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LzhUnpack)->Unit(benchmark::kMillisecond);
