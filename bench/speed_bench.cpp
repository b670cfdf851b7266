// Long series: the whole decomposition against the LAPACK eigen solver
// alone, and all elementary reconstructions.
#include <benchmark/benchmark.h>
#include <lapacke.h>

#include <algorithm>
#include <chrono>

#include "bench_series.h"
#include "core/hooks.h"
#include "decomp/reconstructed.h"
#include "decomp/svd.h"

namespace {

// Longest time the progress hook stayed silent during the run, in seconds.
class progress_gap {
public:
    progress_gap()
        : m_last(clock::now()),
          m_guard([this](const char*, long long, long long) {
              const auto now = clock::now();
              m_max = std::max(m_max, std::chrono::duration<double>(now - m_last).count());
              m_last = now;
          }) {}
    double seconds() const { return std::max(m_max, std::chrono::duration<double>(clock::now() - m_last).count()); }

private:
    using clock = std::chrono::steady_clock;
    clock::time_point m_last;
    double m_max = 0;
    scoped_progress_hook m_guard;
};

void BM_LongDecomposition(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0)), L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    progress_gap gap;
    for (auto _ : state) {
        SVD::t_svd svd(ts, L);
        benchmark::DoNotOptimize(svd.spectrum().data());
    }
    state.counters["max_progress_gap_s"] = gap.seconds();
}

// The same covariance handed straight to dsyevr: the floor of any decomposition.
void BM_LongEigenSolverOnly(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0)), L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    matrix x(L, N - L + 1);
    x.embed(ts.values());
    matrix c(L, L);
    lag_covariance(x, c);
    std::vector<double> a(static_cast<size_t>(L) * L), w(static_cast<size_t>(L)), z(static_cast<size_t>(L) * L);
    std::vector<lapack_int> support(2 * static_cast<size_t>(L));
    for (auto _ : state) {
        for (int i = 0; i < L; ++i) std::copy(c.row(i), c.row(i) + L, a.begin() + static_cast<size_t>(i) * L);
        lapack_int found = 0;
        LAPACKE_dsyevr(LAPACK_COL_MAJOR, 'V', 'A', 'U', L, a.data(), L, 0, 0, 0, 0, 0, &found, w.data(), z.data(), L,
                       support.data());
        benchmark::DoNotOptimize(w.data());
    }
}

void BM_AllElementaryReconstructions(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0)), L = static_cast<int>(state.range(1));
    const SVD::t_svd svd(bench_series(N), L);
    progress_gap gap;
    for (auto _ : state) {
        t_reconstructed_tss rec(&svd, L);
        benchmark::DoNotOptimize(rec.table().row(0));
    }
    state.counters["max_progress_gap_s"] = gap.seconds();
}

}  // namespace

BENCHMARK(BM_LongDecomposition)->Args({10000, 5000})->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_LongEigenSolverOnly)->Args({10000, 5000})->Unit(benchmark::kSecond)->Iterations(1);
BENCHMARK(BM_AllElementaryReconstructions)->Args({2000, 1000})->Args({10000, 5000})->Unit(benchmark::kSecond)->Iterations(1);
