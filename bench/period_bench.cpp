#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <sstream>

#include "bench_series.h"
#include "core/diagnostics.h"
#include "invest/grouping.h"
#include "invest/period_invest.h"

namespace {

// Charroots on two unit vectors of a noisy harmonic: a polynomial of degree n - 1.
void BM_PeriodCharroots(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::mt19937 gen(3);
    std::normal_distribution<double> noise(0, 0.01);
    matrix m(n, 2);
    for (int t = 0; t < n; ++t) {
        m.set(std::cos(two_pi * t / 12) + noise(gen), t, 0);
        m.set(std::sin(two_pi * t / 12) + noise(gen), t, 1);
    }
    std::ostringstream sink;
    scoped_diagnostic_stream to(sink);
    double period = 0;
    for (auto _ : state) {
        period = m.getperiod_charroots(true);
        benchmark::DoNotOptimize(period);
        sink.str("");
    }
    state.counters["period"] = period;
}

// identificate() of a period investigation on reconstructed components, as the
// CLI runs it by default (aim 0, Crit 1, VYG 0.9); the components are built
// before the timed loop.
void BM_PeriodIdentifyReconstructed(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    t_period_invest inv(bench_series(N));
    inv.set_treatedvectors(vk_reconstructed);
    inv.set_approx_mode(0);
    const t_VYG_constraint vyg(0.9);
    inv.set_constraint(&vyg);
    inv.set_L(L);
    inv.set_amount(std::min(L, inv.get_svd()->count()));
    inv.make_reconstructed();
    for (auto _ : state) {
        inv.identificate();
        benchmark::DoNotOptimize(inv.get_pairs().data());
    }
    state.counters["amount"] = inv.get_amount();
    state.counters["pairs"] = static_cast<double>(inv.get_pairs().size());
}

// The dominant period of one eigenvector-long vector off the Fourier grid:
// the FFT periodogram and the refinement of its peak.
void BM_DominantPeriod(benchmark::State& state) {
    const int n = static_cast<int>(state.range(0));
    std::vector<double> u(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t) u[static_cast<size_t>(t)] = std::cos(two_pi * t / 12.37);
    double period = 0;
    for (auto _ : state) {
        period = vectors_periodogram({u.data()}, n).dominant_period();
        benchmark::DoNotOptimize(period);
    }
    state.counters["period"] = period;
}

}  // namespace

BENCHMARK(BM_DominantPeriod)->Arg(234)->Arg(50000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeriodCharroots)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeriodIdentifyReconstructed)->Args({2000, 1000})->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PeriodIdentifyReconstructed)->Args({4000, 2000})->Iterations(1)->Unit(benchmark::kMillisecond);
