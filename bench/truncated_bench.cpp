// Long series: the truncated decomposition against the full one, and the full
// path against the plain route (X X^T by BLAS, then LAPACK's divide and conquer).
#include <benchmark/benchmark.h>
#include <cblas.h>
#include <lapacke.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <sstream>
#include <string>

#include "app/forecast_doc.h"
#include "app/summation_doc.h"
#include "bench_series.h"
#include "core/diagnostics.h"
#include "core/fft.h"
#include "core/hooks.h"
#include "decomp/basis_passes.h"
#include "decomp/leading_eigen.h"
#include "decomp/reconstructed.h"
#include "decomp/svd.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"

namespace {

// Plans measured once and kept in the user's cache, as the programs do.
const bool wisdom_kept = (set_fft_wisdom_folder(default_fft_wisdom_folder()), true);

double peak_rss_mb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024.0;
}

// The process's peak resident memory since the last reset, in MB.
double peak_since_reset_mb() {
    std::ifstream status("/proc/self/status");
    for (std::string key; status >> key;) {
        double kb = 0;
        if (key == "VmHWM:" && status >> kb) return kb / 1024;
        status.ignore(1 << 10, '\n');
    }
    return peak_rss_mb();
}

// Starts a new peak: the kernel's reset of VmHWM.
void reset_peak() { std::ofstream("/proc/self/clear_refs") << "5"; }

// The FFT floor of a decomposition: its products (each one X v or X^T u,
// counted from its progress reports) times the time of one product.
struct product_counter {
    long long products = 0;
    scoped_progress_hook hook{[this](const char* stage, long long done, long long) {
                                  if (std::string(stage) == "decomposition") products = std::max(products, done);
                              },
                              false};
};

double product_seconds(const t_ts& ts, int L) {
    hankel_operator X(ts.values().data(), ts.size(), L);
    std::vector<double> u(static_cast<size_t>(L), 1.0), w(static_cast<size_t>(X.K()));
    constexpr int rounds = 10;
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < rounds; ++r) {
        X.transpose_times(u.data(), w.data());
        X.times(w.data(), u.data());
        u[0] = 1;
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / (2 * rounds);
}

// Bytes per second of the reorthogonalisation's projections over two bases
// of the solver's shape taken in turn, as its steps take them: with the bytes
// its passes read, the floor their traffic sets beside the products'. Bases
// beyond 256 MB stream from memory like the whole would, so they are cut there.
double pass_speed(int L, int K, int columns) {
    const int most = (256 << 20) / (8 * columns);
    L = std::min(L, most), K = std::min(K, most);
    Eigen::MatrixXd U(L, columns), V(K, columns);
    std::fill(U.data(), U.data() + U.size(), 0.5);
    std::fill(V.data(), V.data() + V.size(), 0.25);
    std::vector<double> u(static_cast<size_t>(L), 1.0), v(static_cast<size_t>(K), 1.0);
    std::vector<double> h(static_cast<size_t>(columns));
    basis_passes passes(columns);
    passes.project(U, columns, u.data(), h.data());
    passes.project(V, columns, v.data(), h.data());
    const long long before = basis_passes::bytes_read();
    const auto start = std::chrono::steady_clock::now();
    for (int r = 0; r < 5; ++r) {
        passes.project(U, columns, u.data(), h.data());
        passes.project(V, columns, v.data(), h.data());
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return static_cast<double>(basis_passes::bytes_read() - before) / seconds;
}

const char* series_name(int kind) { return kind == 0 ? "smooth" : kind == 1 ? "noisy" : "offset"; }

// The targets: the leading k of each series with their k one-component
// reconstructions; args: series (0 smooth, 1 noisy, 2 offset), N, L, k.
void BM_LeadingComponents(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    const int N = static_cast<int>(state.range(1));
    const int L = static_cast<int>(state.range(2));
    const int k = static_cast<int>(state.range(3));
    const SVD::svd_options options(svd_solver::truncated, k);
    // The decomposition, the reconstructions' table and the series' copies.
    const double need = SVD::decomposition_bytes(N, L, options) + 8.0 * N * (k + 8);
    const double available = SVD::available_memory();
    if (available >= 0 && need > available) {
        state.SkipWithError(("skipped: needs about " + std::to_string(static_cast<long long>(need / 1e6)) +
                             " MB, " + std::to_string(static_cast<long long>(available / 1e6)) + " MB available")
                                .c_str());
        return;
    }
    const t_ts ts = target_series(kind, N);
    const double product = product_seconds(ts, L);
    const double speed = pass_speed(L, N - L + 1, krylov_size(k, L, N - L + 1));
    state.SetLabel(series_name(kind));
    product_counter count;
    int in_use = 0;
    reset_peak();
    const long long read_before = basis_passes::bytes_read();
    for (auto _ : state) {
        SVD::t_svd svd(ts, L, options);
        const t_reconstructed_tss singles(&svd, svd.components());
        in_use = svd.count();
        benchmark::DoNotOptimize(singles.table().row(0));
    }
    state.counters["peak_MB"] = peak_since_reset_mb();
    state.counters["in_use"] = in_use;
    state.counters["products"] = static_cast<double>(count.products);
    state.counters["product_ms"] = 1e3 * product;
    state.counters["floor_s"] = static_cast<double>(count.products) * product;
    const double read = static_cast<double>(basis_passes::bytes_read() - read_before);
    state.counters["passes_GB"] = read / 1e9;
    state.counters["passes_s"] = read / speed;
}

void BM_Full50(benchmark::State& state) {
    const int N = static_cast<int>(state.range(0));
    const int L = static_cast<int>(state.range(1));
    const t_ts ts = bench_series(N);
    for (auto _ : state) {
        SVD::t_svd svd(ts, L, svd_solver::fast);
        const t_reconstructed_tss singles(&svd, 50);
        benchmark::DoNotOptimize(singles.table().row(0));
    }
    state.counters["peak_MB"] = peak_rss_mb();
}

// The eigenvalues alone on the full path, as decompose asks for them.
void BM_FullEigenvalues(benchmark::State& state) {
    const t_ts ts = bench_series(static_cast<int>(state.range(0)));
    SVD::svd_options values_only(svd_solver::fast);
    values_only.vectors = false;
    for (auto _ : state) {
        SVD::t_svd svd(ts, static_cast<int>(state.range(1)), values_only);
        benchmark::DoNotOptimize(svd.spectrum().data());
    }
}

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
// 3 forecast of 100 points; on the series of target_series.
void BM_LongInvestigation(benchmark::State& state) {
    const int N = static_cast<int>(state.range(1));
    const int L = static_cast<int>(state.range(2));
    const t_ts ts = target_series(static_cast<int>(state.range(3)), N);
    state.SetLabel(series_name(static_cast<int>(state.range(3))));
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

BENCHMARK(BM_LeadingComponents)
    ->ArgsProduct({{1, 0, 2}, {10000}, {5000}, {50}})
    ->ArgsProduct({{1, 0, 2}, {100000}, {50000}, {50}})
    ->ArgsProduct({{1, 0, 2}, {1000000}, {500000}, {50}})
    ->ArgsProduct({{1, 0}, {10000000}, {5000000}, {20}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK(BM_LongInvestigation)->ArgsProduct({{0, 1, 2, 3}, {100000}, {50000}, {1, 0}})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_Full50)->Args({10000, 5000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FullEigenvalues)->Args({10000, 5000})->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK(BM_FullDecomposition)->Args({100000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PlainRoute)->Args({100000, 1000})->Unit(benchmark::kMillisecond)->Iterations(3);
