// Long series: the truncated decomposition against the full one, and the full
// path against the plain route (X X^T by BLAS, then LAPACK's divide and conquer).
#include <benchmark/benchmark.h>
#include <cblas.h>
#include <lapacke.h>

#include <numeric>
#include <sys/resource.h>

#include <sstream>

#include "app/forecast_doc.h"
#include "app/summation_doc.h"
#include "bench_series.h"
#include "core/diagnostics.h"
#include "decomp/reconstructed.h"
#include "decomp/svd.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"

namespace {

double peak_rss_mb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// Decomposition with k components and each of their one-component reconstructions.
void decompose_and_reconstruct(benchmark::State& state, const SVD::svd_options& options) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    for (auto _ : state) {
        SVD::t_svd svd(ts, L, options);
        const t_reconstructed_tss singles(&svd, std::min(svd.components(), 50));
        benchmark::DoNotOptimize(singles.table().row(0));
    }
    state.counters["N"] = N;
    state.counters["L"] = L;
    state.counters["peak_MB"] = peak_rss_mb();
}

void BM_Truncated50(benchmark::State& state) { decompose_and_reconstruct(state, {svd_solver::truncated, 50}); }
void BM_Full50(benchmark::State& state) { decompose_and_reconstruct(state, svd_solver::fast); }

// Only the full decomposition: covariance, every eigenpair, the eigenvectors kept.
void BM_FullDecomposition(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    for (auto _ : state) {
        SVD::t_svd svd(ts, L, svd_solver::fast);
        benchmark::DoNotOptimize(svd.spectrum().data());
    }
}

// What an array library does: form X, X X^T by BLAS, every eigenpair by dsyevd.
void BM_PlainRoute(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const int K = N - L + 1;
    const t_ts ts = bench_series(N);
    for (auto _ : state) {
        std::vector<double> x(static_cast<size_t>(L) * K), c(static_cast<size_t>(L) * L), w(static_cast<size_t>(L));
        for (int i = 0; i < L; ++i)
            for (int j = 0; j < K; ++j) x[static_cast<size_t>(i) * K + j] = ts.values()(i + j);
        cblas_dsyrk(CblasRowMajor, CblasUpper, CblasNoTrans, L, K, 1.0, x.data(), K, 0.0, c.data(), L);
        LAPACKE_dsyevd(LAPACK_ROW_MAJOR, 'V', 'U', L, c.data(), L, w.data());
        benchmark::DoNotOptimize(w.data());
    }
}

// An investigation on the truncated decomposition of 50 components, with its
// decomposition, the defaults of kelvane-cli: 0 trend, 1 period, 2 summation,
// 3 forecast of 100 points.
void BM_LongInvestigation(benchmark::State& state) {
    const int N = static_cast<int>(state.range(1));
    const int L = static_cast<int>(state.range(2));
    const t_ts ts = bench_series(N);
    const SVD::svd_options options(svd_solver::automatic, 50);
    std::ostringstream sink;
    const scoped_diagnostic_stream to(sink);
    for (auto _ : state) {
        switch (state.range(0)) {
        case 0: {
            t_trend_invest inv(ts);
            inv.set_svd_options(options);
            inv.set_L(L);
            inv.set_amount(inv.get_svd()->count());
            inv.investigate();
            break;
        }
        case 1: {
            t_period_invest inv(ts);
            inv.set_svd_options(options);
            inv.set_L(L);
            inv.set_amount(inv.get_svd()->count());
            inv.investigate();
            break;
        }
        case 2: {
            CSummationInvestDoc doc(ts);
            t_summation_invest& inv = doc.get_investigation();
            inv.set_svd_options(options);
            inv.set_L(L);
            inv.set_amount(inv.get_svd()->count());
            inv.make_reconstructed();
            doc.compute_tables();
            break;
        }
        case 3: {
            CForeInvestDoc doc;
            doc.set_ts(ts);
            doc.get_forecast()->get_signal_invest()->set_svd_options(options);
            doc.params().forecast_L = L;
            doc.params().forecast_points = 100;
            doc.compute_forecast();
            break;
        }
        }
    }
    state.counters["peak_MB"] = peak_rss_mb();
}

}  // namespace

BENCHMARK(BM_LongInvestigation)->ArgsProduct({{0, 1, 2, 3}, {100000}, {50000}})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Truncated50)->Args({10000, 5000})->Args({100000, 50000})->Args({1000000, 500000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Full50)->Args({10000, 5000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FullDecomposition)->Args({100000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainRoute)->Args({100000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);
