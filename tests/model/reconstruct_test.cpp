#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "core/ssa_exception.h"
#include "decomp/reconstructed.h"

namespace {

std::vector<double> random_series(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<double> u(-5, 5);
    std::vector<double> v;
    for (int t = 0; t < n; ++t) v.push_back(20 + 0.3 * t + 4 * std::sin(0.5 * t) + u(gen));
    return v;
}

}  // namespace

TEST(Reconstruction, ElementaryComponentsAddUpToTheSeries) {
    struct shape {
        int N, L;
        svd_solver solver;
        double tolerance;  // relative to the largest value
    };
    // With L > K the discarded null directions must be orthogonal to the data;
    // the Jacobi solver's final threshold (1e-10 of the norm) bounds how well.
    for (shape s : {shape{4, 2, svd_solver::jacobi, 1e-12}, shape{40, 7, svd_solver::jacobi, 1e-12},
                    shape{41, 21, svd_solver::jacobi, 1e-12}, shape{40, 33, svd_solver::jacobi, 1e-9},
                    shape{150, 100, svd_solver::jacobi, 1e-8}, shape{150, 100, svd_solver::fast, 1e-11},
                    shape{150, 50, svd_solver::fast, 1e-11}}) {
        SCOPED_TRACE("N=" + std::to_string(s.N) + " L=" + std::to_string(s.L));
        const auto v = s.N == 4 ? std::vector<double>{1, 2, 3, 4} : random_series(s.N, static_cast<unsigned>(s.L));
        const SVD::t_svd svd(t_ts(v), s.L, s.solver);
        ASSERT_EQ(svd.count(), std::min(s.L, s.N - s.L + 1));  // full rank: nothing discarded
        const t_reconstructed_tss rec(&svd, s.L);
        double top = 0;
        for (double x : v) top = std::max(top, std::fabs(x));
        for (int t = 0; t < s.N; ++t) {
            double sum = 0;
            for (int c = 0; c < rec.amount(); ++c) sum += rec.value(c, t);
            EXPECT_NEAR(sum, v[t], s.tolerance * top) << t;
        }
    }
}

TEST(Reconstruction, GroupEqualsSumOfItsMembers) {
    const auto v = random_series(60, 5);
    const SVD::t_svd svd(t_ts(v), 20);
    const t_reconstructed_tss rec(&svd, std::vector<int>{4, 0, 2});
    ASSERT_EQ(rec.amount(), 3);
    t_ts group;
    svd.reconstruct({0, 2, 4}, group);
    ASSERT_EQ(group.size(), 60);
    for (int t = 0; t < 60; ++t)
        EXPECT_NEAR(group[t], rec.value(0, t) + rec.value(1, t) + rec.value(2, t), 1e-9 * 60);
    // List order decides the component order.
    const t_reconstructed_tss first(&svd, 5);
    for (int t = 0; t < 60; ++t) EXPECT_EQ(rec.value(0, t), first.value(4, t));
}

TEST(Reconstruction, TickMarksOnlyOnGroupSeries) {
    const SVD::t_svd svd(t_ts(std::vector<double>{1, 2, 3, 4}), 2);
    t_ts group;
    svd.reconstruct({0}, group);
    ASSERT_NE(group.ticks(), nullptr);
    EXPECT_EQ((*group.ticks())[0], "1");
    EXPECT_EQ((*group.ticks())[3], "4");
    EXPECT_TRUE(group.has_ticks());
    const t_reconstructed_tss rec(&svd, 2);
    EXPECT_EQ(rec.component(0).ticks(), nullptr);
    EXPECT_EQ(rec.component(0).title(), "");
    std::vector<double> values;
    rec.get_values(1, values);
    EXPECT_EQ(values.size(), 4u);
    EXPECT_EQ(values[2], rec.value(1, 2));
}

TEST(Reconstruction, AmountBoundsAndBadIndices) {
    const SVD::t_svd svd(t_ts(random_series(12, 2)), 5);
    EXPECT_NO_THROW(t_reconstructed_tss(&svd, 5));
    EXPECT_EQ(t_reconstructed_tss(&svd, 0).amount(), 0);
    for (int bad : {6, -1}) {
        try {
            t_reconstructed_tss rec(&svd, bad);
            ADD_FAILURE() << "amount " << bad << " accepted";
        } catch (const SSA_math_exception::ssa_exception& e) {
            EXPECT_EQ(e.message, "incorrect 'amount' parameter inside t_reconstructed_tss(const t_svd* psvd, int amount)");
        }
    }
    EXPECT_THROW(t_reconstructed_tss(&svd, std::vector<int>{5}), SSA_math_exception::out_of_range);
    t_ts out;
    EXPECT_THROW(svd.reconstruct({-1}, out), SSA_math_exception::out_of_range);
}

TEST(Reconstruction, DiscardedTripleReconstructsToZeros) {
    const SVD::t_svd svd(t_ts(std::vector<double>{2, 2, 2, 2, 2, 2}), 3);
    ASSERT_EQ(svd.count(), 1);
    const t_reconstructed_tss rec(&svd, 3);
    for (int t = 0; t < 6; ++t) {
        EXPECT_NEAR(rec.value(0, t), 2, 1e-12);
        EXPECT_EQ(rec.value(1, t), 0);
        EXPECT_EQ(rec.value(2, t), 0);
    }
}

TEST(Reconstruction, ShortcutsMatchTheElementaryMatrices) {
    // Small: the rank-one shortcut must give the reference rounding exactly.
    // Large: the FFT path must agree to rounding.
    struct shape {
        int N, L;
        double tolerance;
    };
    for (shape s : {shape{60, 20, 0.0}, shape{60, 45, 0.0}, shape{1300, 400, 1e-12}, shape{1300, 900, 1e-12}}) {
        SCOPED_TRACE("N=" + std::to_string(s.N) + " L=" + std::to_string(s.L));
        const auto v = random_series(s.N, 9);
        const SVD::t_svd svd(t_ts(v), s.L, svd_solver::fast);
        const t_reconstructed_tss rec(&svd, std::vector<int>{0, 3, 7});
        matrix y(svd.L(), svd.K());
        series ref(s.N);
        double top = 0;
        for (double x : v) top = std::max(top, std::fabs(x));
        for (int c = 0; c < 3; ++c) {
            const int k = c == 0 ? 0 : (c == 1 ? 3 : 7);
            y.reconstruct_group(svd.spectrum(), svd.eigenvectors(), svd.factor_vectors(), 1, &k);
            y.diagonal_average(ref);
            for (int t = 0; t < s.N; ++t) EXPECT_NEAR(rec.value(c, t), ref[t], s.tolerance * top) << c << " " << t;
        }
        const std::vector<int> group{1, 2, 4, 5, 6};
        y.reconstruct_group(svd.spectrum(), svd.eigenvectors(), svd.factor_vectors(), 5, group.data());
        y.diagonal_average(ref);
        const series g = svd.reconstruct_values(group);
        for (int t = 0; t < s.N; ++t) EXPECT_NEAR(g[t], ref[t], 1e-12 * top) << t;
        EXPECT_THROW(svd.reconstruct_values({s.L}), SSA_math_exception::out_of_range);
    }
}
