// Several computations at once, each on its own thread with its own hooks,
// and cancelling one through its progress hook.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <sstream>
#include <thread>

#include <unistd.h>

#include "core/diagnostics.h"
#include "core/fft.h"
#include "core/hooks.h"
#include "decomp/svd.h"
#include "invest/period_invest.h"
#include "methods/fourier_sums.h"
#include "test_util.h"

namespace {

using clock_type = std::chrono::steady_clock;

// A yearly cycle and its overtone on a trend, with noise; seed picks the series.
t_ts sample(int n, unsigned seed) {
    return t_ts(with_noise(n, seed, 0.3,
                           [](int t) { return 0.01 * t + 5 * std::cos(2 * M_PI * t / 12) + 2 * std::sin(2 * M_PI * t / 6); }));
}

struct outcome {
    std::vector<double> spectrum, first_eigenvector, periods;
    std::vector<Pair::t_pair<int>> pairs;
    std::string diagnostics;
    int hook_calls = 0, foreign_hook_calls = 0;  // foreign: made on another thread than this computation's
};

// One document's work: a decomposition by LAPACK with the FFT factor vectors,
// then a period investigation by characteristic roots (LAPACK again, and diagnostic lines).
outcome compute(const t_ts& ts, int L, const std::function<void()>& hooks_installed) {
    outcome r;
    const std::thread::id me = std::this_thread::get_id();
    auto seen = [&r, me] { ++r.hook_calls, r.foreign_hook_calls += std::this_thread::get_id() != me; };
    std::ostringstream diag;
    const scoped_diagnostic_stream to(diag);
    const scoped_progress_hook progress([&](const char*, long long, long long) { seen(); });
    const scoped_notify_hook notes([&](const std::string&, const std::string&, notify_icon) { seen(); });
    hooks_installed();

    const SVD::t_svd svd(ts, L, svd_solver::fast);
    r.spectrum = svd.spectrum();
    for (int i = 0; i < L; ++i) r.first_eigenvector.push_back(svd.eigenvectors()(i, 0));

    t_period_invest inv(ts);
    inv.set_estimation(1);
    inv.set_period_range({11, 13});
    inv.set_approx_mode(0);
    inv.set_L(L);
    inv.set_amount(10);
    inv.investigate();
    r.pairs = inv.get_pairs();
    for (const auto& p : r.pairs) r.periods.push_back(inv.estimate_period(p.first, p.second));
    r.diagnostics = diag.str();
    return r;
}

void expect_same(const outcome& got, const outcome& alone) {
    EXPECT_EQ(got.spectrum, alone.spectrum);
    EXPECT_EQ(got.first_eigenvector, alone.first_eigenvector);
    EXPECT_EQ(got.pairs, alone.pairs);
    EXPECT_EQ(got.periods, alone.periods);
    EXPECT_EQ(got.diagnostics, alone.diagnostics);
    EXPECT_GT(got.hook_calls, 0);
    EXPECT_EQ(got.foreign_hook_calls, 0);
}

struct cancelled {};

}  // namespace

TEST(Threads, TwoDocumentsAtOnceGiveTheirSingleThreadResults) {
    const t_ts a = sample(1000, 1), b = sample(950, 2);
    const outcome alone_a = compute(a, 300, [] {}), alone_b = compute(b, 300, [] {});
    ASSERT_FALSE(alone_a.pairs.empty());
    ASSERT_FALSE(alone_a.diagnostics.empty());

    // Both install their hooks before either computes, so hooks shared
    // between threads would cross.
    std::mutex m;
    std::condition_variable cv;
    int ready = 0;
    auto both_ready = [&] {
        std::unique_lock<std::mutex> lock(m);
        if (++ready == 2) cv.notify_all();
        cv.wait(lock, [&] { return ready == 2; });
    };
    outcome got_a, got_b;
    std::thread ta([&] { got_a = compute(a, 300, both_ready); });
    std::thread tb([&] { got_b = compute(b, 300, both_ready); });
    ta.join();
    tb.join();
    expect_same(got_a, alone_a);
    expect_same(got_b, alone_b);
}

TEST(Threads, CancelDuringTheEigenSolverLeavesAtOnce) {
    // dsyevr of L = 1200 runs for about a second; the hook cancels at its first tick.
    const t_ts ts = sample(2400, 3);
    const scoped_progress_hook cancel([&](const char* stage, long long done, long long) {
        if (std::string(stage) == "decomposition" && done > 0) throw cancelled{};
    });
    EXPECT_THROW(SVD::t_svd(ts, 1200, svd_solver::fast), cancelled);
    // Left without waiting for the solver, which was still running: it
    // finishes on its own and frees what it owns. (How fast is a benchmark's matter.)
    EXPECT_EQ(abandoned_calls(), 1);
    const auto limit = clock_type::now() + std::chrono::minutes(2);
    while (abandoned_calls() > 0 && clock_type::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(abandoned_calls(), 0);
}

TEST(Threads, CancelStopsBothHalvesOfTheSplitColumnSums) {
    // 64 columns split between two threads; each half takes about a second.
    const int n = 4000, m = 64, nf = 2000;
    std::vector<double> x(static_cast<size_t>(n) * m);
    for (size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.001 * static_cast<double>(i));
    std::atomic<bool> stopped{false};
    std::atomic<long> after_cancel{0}, other_half{0};
    int foreign = 0;
    const std::thread::id me = std::this_thread::get_id();
    const scoped_progress_hook cancel([&](const char*, long long done, long long) {
        if (std::this_thread::get_id() != me) ++foreign;
        if (done > 0) {
            stopped = true;
            throw cancelled{};
        }
    });
    auto take = [&](int, int c, double, double) {
        if (c < m / 2) return;
        ++other_half;
        if (stopped) ++after_cancel;
    };
    EXPECT_THROW(fourier::column_sums(x.data(), n, m, m, nf, [](int t, int k) { return 0.001 * t * k; }, take, "sums"),
                 cancelled);
    EXPECT_EQ(foreign, 0);
    // Left alone, the other half would finish all of its m/2 * nf sums.
    EXPECT_LT(after_cancel.load(), m / 2 * nf / 4) << other_half.load();
}

// Copies share the factor vectors built on first use: threads asking at once
// get one matrix, built once, equal to a fresh decomposition's.
TEST(Threads, FactorVectorsBuiltOnceForCopiesOnSeveralThreads) {
    const t_ts ts = sample(3000, 9);
    const SVD::t_svd original(ts, 1200, svd_solver::fast);
    const SVD::t_svd copy = original;
    const matrix* seen[4] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i)
        threads.emplace_back([&, i] { seen[i] = &(i % 2 ? copy : original).factor_vectors(); });
    for (auto& t : threads) t.join();
    for (const matrix* m : seen) EXPECT_EQ(m, seen[0]);
    const SVD::t_svd again(ts, 1200, svd_solver::fast);
    const matrix& fresh = again.factor_vectors();
    for (int j : {0, 900, 1800})
        for (int c : {0, 3, 40}) EXPECT_EQ((*seen[0])(j, c), fresh(j, c));
}

// Long transforms run on two threads and their measured plans are kept in the
// wisdom folder: products from two computations at once, the first pair
// measuring and keeping the plans, the second planning from what was kept,
// agree with the direct sums.
TEST(Threads, FftProductsOnTwoThreadsWithKeptPlans) {
    const std::string folder = testing::TempDir() + "kelvane-wisdom-" + std::to_string(getpid());
    const std::string file = folder + "/fftw-wisdom";
    std::remove(file.c_str());
    set_fft_wisdom_folder(folder);
    const int N = 70000, L = 30000, K = N - L + 1;  // beyond the two-thread size
    const std::vector<double> s = with_noise(N, 5, 1, [](int t) { return std::sin(0.01 * t); });
    std::vector<double> u(static_cast<size_t>(L));
    for (int i = 0; i < L; ++i) u[static_cast<size_t>(i)] = std::cos(0.003 * i);
    auto worst_error = [&] {
        hankel_operator X(s.data(), N, L);
        std::vector<double> w(static_cast<size_t>(K));
        X.transpose_times(u.data(), w.data());
        double worst = 0;
        for (int j = 0; j < K; j += 997) {
            double direct = 0;
            for (int i = 0; i < L; ++i) direct += s[static_cast<size_t>(i + j)] * u[static_cast<size_t>(i)];
            worst = std::max(worst, std::fabs(w[static_cast<size_t>(j)] - direct));
        }
        return worst;
    };
    for (int round = 0; round < 2; ++round) {
        double error_a = 1, error_b = 1;
        std::thread a([&] { error_a = worst_error(); });
        std::thread b([&] { error_b = worst_error(); });
        a.join();
        b.join();
        EXPECT_LT(error_a, 1e-9) << round;
        EXPECT_LT(error_b, 1e-9) << round;
        EXPECT_NE(slurp(file).find("fftw"), std::string::npos) << round;
    }
    set_fft_wisdom_folder("");
    std::remove(file.c_str());
    rmdir(folder.c_str());
}
