#include "settings/random.h"

#include <benchmark/benchmark.h>

// The engine draws several random numbers per ring; this is the floor under that cost.
static void BM_RandomBelow(benchmark::State& state) {
    nimbrel::set_random_seed(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(nimbrel::random(1000));
}
BENCHMARK(BM_RandomBelow);

static void BM_Gaussian(benchmark::State& state) {
    nimbrel::set_random_seed(1);
    for (auto _ : state)
        benchmark::DoNotOptimize(nimbrel::gaussian(0.0, 1.0));
}
BENCHMARK(BM_Gaussian);
