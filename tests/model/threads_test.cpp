#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <sstream>
#include <thread>
#include <tuple>

#include <unistd.h>

#include "core/diagnostics.h"
#include "core/fft.h"
#include "core/hooks.h"
#include "decomp/svd.h"
#include "invest/period_invest.h"
#include "methods/fourier_sums.h"
#include "test_util.h"

namespace {

t_ts sample(int n, unsigned seed) {
    return t_ts(with_noise(n, seed, 0.3,
                           [](int t) { return 0.01 * t + 5 * std::cos(2 * M_PI * t / 12) + 2 * std::sin(2 * M_PI * t / 6); }));
}

struct outcome {
    std::vector<double> spectrum, first_eigenvector, periods;
    std::vector<Pair::t_pair<int>> pairs;
    std::string diagnostics;
    int hook_calls = 0, foreign_hook_calls = 0;  // foreign: made on another thread
};

outcome compute(const t_ts& ts, int L, const std::function<void()>& hooks_installed) {
    outcome r;
    auto seen = [&r, me = std::this_thread::get_id()] { ++r.hook_calls, r.foreign_hook_calls += std::this_thread::get_id() != me; };
    std::ostringstream diag;
    const scoped_diagnostic_stream to(diag);
    const scoped_progress_hook progress([&](const char*, long long, long long) { seen(); });
    const scoped_notify_hook notes([&](const std::string&, const std::string&, notify_icon) { seen(); });
    hooks_installed();

    const SVD::t_svd svd(ts, L, svd_solver::fast);
    r.spectrum = svd.spectrum();
    for (int i = 0; i < L; ++i) r.first_eigenvector.push_back(svd.eigenvectors()(i, 0));

    t_period_invest inv(ts);
    inv.set_estimation(1), inv.set_period_range({11, 13}), inv.set_approx_mode(0), inv.set_L(L), inv.set_amount(10);
    inv.investigate();
    r.pairs = inv.get_pairs();
    for (const auto& p : r.pairs) r.periods.push_back(inv.estimate_period(p.first, p.second));
    r.diagnostics = diag.str();
    return r;
}

void expect_same(const outcome& got, const outcome& alone) {
    EXPECT_EQ(std::tie(got.spectrum, got.first_eigenvector, got.pairs, got.periods, got.diagnostics),
              std::tie(alone.spectrum, alone.first_eigenvector, alone.pairs, alone.periods, alone.diagnostics));
    EXPECT_TRUE(got.hook_calls > 0 && got.foreign_hook_calls == 0) << got.hook_calls << " " << got.foreign_hook_calls;
}

struct cancelled {};

}  // namespace

TEST(Threads, TwoDocumentsAtOnceGiveTheirSingleThreadResults) {
    const t_ts a = sample(1000, 1), b = sample(950, 2);
    const outcome alone_a = compute(a, 300, [] {}), alone_b = compute(b, 300, [] {});
    ASSERT_FALSE(alone_a.pairs.empty() || alone_a.diagnostics.empty());
    // Both install their hooks before either computes, so shared hooks would cross.
    std::mutex m;
    std::condition_variable cv;
    int ready = 0;
    auto both_ready = [&] {
        std::unique_lock<std::mutex> lock(m);
        if (++ready == 2) cv.notify_all();
        cv.wait(lock, [&] { return ready == 2; });
    };
    outcome got_a, got_b;
    std::thread ta([&] { got_a = compute(a, 300, both_ready); }), tb([&] { got_b = compute(b, 300, both_ready); });
    ta.join(), tb.join();
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
    // Left without waiting for the running solver, which finishes on its own and frees what it owns.
    EXPECT_EQ(abandoned_calls(), 1);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (abandoned_calls() > 0 && std::chrono::steady_clock::now() < limit) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(abandoned_calls(), 0);
}

TEST(Threads, CancelStopsBothHalvesOfTheSplitColumnSums) {
    // 64 columns split between two threads; each half takes about a second.
    const int n = 4000, m = 64, nf = 2000;
    const std::vector<double> x = values_of(sampled(n * m, [](int i) { return std::sin(0.001 * i); }));
    std::atomic<bool> stopped{false};
    std::atomic<long> after_cancel{0}, other_half{0};
    int foreign = 0;
    const scoped_progress_hook cancel([&, me = std::this_thread::get_id()](const char*, long long done, long long) {
        foreign += std::this_thread::get_id() != me;
        if (done > 0) stopped = true, throw cancelled{};
    });
    auto take = [&](int, int c, double, double) { if (c >= m / 2) ++other_half, after_cancel += stopped; };
    EXPECT_THROW(fourier::column_sums(x.data(), n, m, m, nf, [](int t, int k) { return 0.001 * t * k; }, take, "sums"), cancelled);
    EXPECT_EQ(foreign, 0);
    // Left alone, the other half would finish all of its m/2 * nf sums.
    EXPECT_LT(after_cancel.load(), m / 2 * nf / 4) << other_half.load();
}

// Copies share the factor vectors built on first use: threads asking at once get one matrix.
TEST(Threads, FactorVectorsBuiltOnceForCopiesOnSeveralThreads) {
    const t_ts ts = sample(3000, 9);
    const SVD::t_svd original(ts, 1200, svd_solver::fast), copy = original;
    const matrix* seen[4] = {};
    std::vector<std::thread> threads;
    for (int i = 0; i < 4; ++i) threads.emplace_back([&, i] { seen[i] = &(i % 2 ? copy : original).factor_vectors(); });
    for (auto& t : threads) t.join();
    for (const matrix* m : seen) EXPECT_EQ(m, seen[0]);
    const SVD::t_svd again(ts, 1200, svd_solver::fast);
    for (int j : {0, 900, 1800}) EXPECT_EQ((*seen[0])(j, j % 41), again.factor_vectors()(j, j % 41));
}

// Two computations at once, first measuring and keeping the plans, then planning from them.
TEST(Threads, FftProductsOnTwoThreadsWithKeptPlans) {
    const std::string folder = testing::TempDir() + "kelvane-wisdom-" + std::to_string(getpid()), file = folder + "/fftw-wisdom";
    set_fft_wisdom_folder(folder);
    const int N = 70000, L = 30000, K = N - L + 1;  // beyond the two-thread size
    const std::vector<double> s = with_noise(N, 5, 1, [](int t) { return std::sin(0.01 * t); });
    const std::vector<double> u = values_of(sampled(L, [](int i) { return std::cos(0.003 * i); }));
    auto worst_error = [&] {
        hankel_operator X(s.data(), N, L);
        std::vector<double> w(static_cast<size_t>(K));
        X.transpose_times(u.data(), w.data());
        double worst = 0;
        for (int j = 0; j < K; j += 997)
            worst = std::max(worst, std::fabs(w[j] - std::inner_product(u.begin(), u.end(), s.begin() + j, 0.0)));
        return worst;
    };
    for (int round = 0; round < 2; ++round) {
        double error_a = 1, error_b = 1;
        std::thread a([&] { error_a = worst_error(); }), b([&] { error_b = worst_error(); });
        a.join(), b.join();
        EXPECT_LT(std::max(error_a, error_b), 1e-9) << round;
        EXPECT_NE(slurp(file).find("fftw"), std::string::npos) << round;
    }
    set_fft_wisdom_folder("");
    std::remove(file.c_str());
    rmdir(folder.c_str());
}
