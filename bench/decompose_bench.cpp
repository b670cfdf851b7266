#include <benchmark/benchmark.h>

#include "bench_series.h"
#include "decomp/svd.h"

namespace {

// Whole decomposition (embedding, lag-covariance, eigen solver, factor vectors, eigentriples).
void decompose(benchmark::State& state, svd_solver solver) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    for (auto _ : state) {
        SVD::t_svd svd(ts, L, solver);
        benchmark::DoNotOptimize(svd.spectrum().data());
    }
    state.counters["N"] = N;
    state.counters["L"] = L;
}

void BM_DecomposeJacobi(benchmark::State& state) { decompose(state, svd_solver::jacobi); }
void BM_DecomposeFast(benchmark::State& state) { decompose(state, svd_solver::fast); }

void BM_LagCovariance(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    matrix x(L, N - L + 1);
    x.embed(ts.values());
    matrix c(L, L);
    for (auto _ : state) {
        lag_covariance(x, c);
        benchmark::DoNotOptimize(c.row(0));
    }
}

}  // namespace

BENCHMARK(BM_DecomposeJacobi)->Args({200, 100})->Args({1000, 500})->Args({2000, 1000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_DecomposeFast)->Args({200, 100})->Args({1000, 500})->Args({2000, 1000})->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LagCovariance)->Args({200, 100})->Args({2000, 1000})->Unit(benchmark::kMillisecond);
