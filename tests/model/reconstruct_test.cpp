#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

#include "core/hooks.h"
#include "decomp/group_reconstructor.h"
#include "decomp/reconstructed.h"
#include "test_util.h"

namespace {

// Positive values: the largest value bounds the tolerances.
std::vector<double> random_series(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-5, 5);
    return values_of(sampled(n, [&](int t) { return 20 + 0.3 * t + 4 * std::sin(0.5 * t) + u(gen); }));
}

}  // namespace

TEST(Reconstruction, ElementaryComponentsAddUpToTheSeries) {
    struct shape { int N, L; svd_solver solver; double tolerance; };  // relative to the largest value
    // With L > K the Jacobi solver's final threshold bounds how orthogonal the discarded directions are.
    for (shape s : {shape{40, 7, svd_solver::jacobi, 1e-12}, shape{150, 100, svd_solver::jacobi, 1e-8},
                    shape{150, 100, svd_solver::fast, 1e-11},
                    shape{1000, 400, svd_solver::fast, 1e-10}}) {  // by FFT, half the components on each core
        SCOPED_TRACE("N=" + std::to_string(s.N) + " L=" + std::to_string(s.L));
        const auto v = random_series(s.N, static_cast<unsigned>(s.L));
        const SVD::t_svd svd(t_ts(v), s.L, s.solver);
        ASSERT_EQ(svd.count(), std::min(s.L, s.N - s.L + 1));  // full rank: nothing discarded
        const t_reconstructed_tss rec(&svd, s.L);
        const double top = *std::max_element(v.begin(), v.end());
        for (int t = 0; t < s.N; ++t) {
            double sum = 0;
            for (int c = 0; c < rec.amount(); ++c) sum += rec.value(c, t);
            EXPECT_NEAR(sum, v[t], s.tolerance * top) << t;
        }
    }
}

TEST(Reconstruction, AmountBoundsBadIndicesAndDiscardedTriples) {
    const SVD::t_svd svd(t_ts(random_series(12, 2)), 5);
    for (int bad : {6, -1})
        EXPECT_EQ(thrown([&] { t_reconstructed_tss(&svd, bad); }),
                  "incorrect 'amount' parameter inside t_reconstructed_tss(const t_svd* psvd, int amount)");
    EXPECT_THROW(t_reconstructed_tss(&svd, std::vector<int>{5}), SSA_math_exception::out_of_range);
    t_ts out;
    EXPECT_THROW(svd.reconstruct({-1}, out), SSA_math_exception::out_of_range);

    const SVD::t_svd flat(t_ts(std::vector<double>{2, 2, 2, 2, 2, 2}), 3);
    const t_reconstructed_tss rec(&flat, 3);
    for (int t = 0; t < 6; ++t) {
        EXPECT_NEAR(rec.value(0, t), 2, 1e-12);
        EXPECT_EQ(rec.value(2, t), 0);
    }
}

TEST(Reconstruction, ShortcutsMatchTheElementaryMatrices) {
    // Small: the rank-one shortcut gives the reference rounding exactly; large: the FFT path agrees to rounding.
    struct { int N, L; double tolerance; } shapes[] = {{60, 20, 0.0}, {60, 45, 0.0}, {1300, 900, 1e-12}};
    for (const auto& s : shapes) {
        SCOPED_TRACE("N=" + std::to_string(s.N) + " L=" + std::to_string(s.L));
        const auto v = random_series(s.N, 9);
        const double top = *std::max_element(v.begin(), v.end());
        const SVD::t_svd svd(t_ts(v), s.L, svd_solver::fast);
        const std::vector<int> members{0, 3, 7}, group{1, 2, 4, 5, 6};
        const t_reconstructed_tss rec(&svd, members);
        matrix y(svd.L(), svd.K());
        series ref(s.N);
        for (int c = 0; c < 3; ++c) {
            y.reconstruct_group(svd.spectrum(), svd.eigenvectors(), svd.factor_vectors(), 1, &members[c]);
            y.diagonal_average(ref);
            for (int t = 0; t < s.N; ++t) EXPECT_NEAR(rec.value(c, t), ref[t], s.tolerance * top) << c << " " << t;
        }
        y.reconstruct_group(svd.spectrum(), svd.eigenvectors(), svd.factor_vectors(), 5, group.data());
        y.diagonal_average(ref);
        const series g = svd.reconstruct_values(group);
        for (int t = 0; t < s.N; ++t) EXPECT_NEAR(g[t], ref[t], 1e-12 * top) << t;
    }
}

// One component on the FFT path reports between its transforms as well as after it, at the
// caller's count, and a throwing hook there cancels.
TEST(Reconstruction, ALongComponentReportsBetweenItsTransforms) {
    const SVD::t_svd svd(t_ts(random_series(2000, 4)), 1000, svd_solver::fast);  // L K = 10^6: the FFT path
    std::vector<long long> done;
    {
        const scoped_progress_hook record(
            [&](const char* stage, long long d, long long total) {
                if (std::string(stage) == "reconstruction" && total == 1) done.push_back(d);
            },
            false);
        const t_reconstructed_tss rec(&svd, std::vector<int>{2});
    }
    // After b = X^T u (which brings u's spectrum), after b's spectrum, and at the end.
    EXPECT_EQ(done, (std::vector<long long>{0, 0, 1}));
    struct cancelled {};
    const scoped_progress_hook stop([](const char*, long long, long long) { throw cancelled{}; }, false);
    EXPECT_THROW(t_reconstructed_tss(&svd, std::vector<int>{2}), cancelled);
}

// A group long enough to be split between the cores: each half's spectra, added, give the group.
TEST(Reconstruction, ALongGroupMatchesTheElementaryMatrices) {
    const auto v = random_series(1300, 6);
    const double top = *std::max_element(v.begin(), v.end());
    const SVD::t_svd svd(t_ts(v), 900, svd_solver::fast);
    std::vector<int> group(160);
    std::iota(group.begin(), group.end(), 0);
    std::swap(group[3], group[150]);  // unsorted, as the pairings give them
    ASSERT_TRUE(group_reconstructor::splits(svd.N(), static_cast<int>(group.size())));
    matrix y(svd.L(), svd.K());
    y.reconstruct_group(svd.spectrum(), svd.eigenvectors(), svd.factor_vectors(), static_cast<int>(group.size()), group.data());
    series ref(svd.N());
    y.diagonal_average(ref);
    const series g = svd.reconstruct_values(group);
    for (int t = 0; t < svd.N(); ++t) EXPECT_NEAR(g[t], ref[t], 1e-12 * top) << t;
}
