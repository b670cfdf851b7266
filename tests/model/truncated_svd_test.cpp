// The truncated decomposition against the full one and its own invariants.
#include <gtest/gtest.h>

#include <numeric>

#include "core/fft.h"
#include "core/hooks.h"
#include "decomp/basis_passes.h"
#include "decomp/leading_eigen.h"
#include "decomp/svd.h"
#include "test_util.h"

namespace {

std::vector<double> signal_with_noise(int N, unsigned seed) {
    return with_noise(N, seed, 0.4, [](int t) {
        return 5 + 0.002 * t + 2 * std::sin(2 * M_PI * t / 12) + std::cos(2 * M_PI * t / 33.3) +
               0.5 * std::sin(2 * M_PI * t / 7.1);
    });
}

// |X X^T u - lambda u| of each eigenvector, and the largest |u_a . u_b - [a == b]|.
std::pair<std::vector<double>, double> residuals_and_orthogonality(const std::vector<double>& v,
                                                                    const SVD::t_svd& svd) {
    const int L = svd.L();
    hankel_operator X(v.data(), static_cast<int>(v.size()), L);
    std::vector<double> u(L), w(svd.K()), cu(L);
    std::vector<double> residuals;
    double orthogonality = 0;
    for (int a = 0; a < svd.count(); ++a) {
        for (int i = 0; i < L; ++i) u[i] = svd.eigenvectors()(i, a);
        X.transpose_times(u.data(), w.data());
        X.times(w.data(), cu.data());
        double r = 0;
        for (int i = 0; i < L; ++i) r += std::pow(cu[i] - svd.eigenvalue(a) * u[i], 2);
        residuals.push_back(std::sqrt(r));
        for (int b = 0; b < svd.count(); ++b) {
            double dot = 0;
            for (int i = 0; i < L; ++i) dot += u[i] * svd.eigenvectors()(i, b);
            orthogonality = std::max(orthogonality, std::fabs(dot - (a == b)));
        }
    }
    return {residuals, orthogonality};
}

}  // namespace

TEST(TruncatedSvd, AgreesWithTheFullDecompositionWithinItsBounds) {
    constexpr int N = 900, L = 300, k = 10;
    const auto v = signal_with_noise(N, N);
    const SVD::t_svd part(t_ts(v), L, {svd_solver::truncated, k});
    const SVD::t_svd full(t_ts(v), L, svd_solver::fast);
    ASSERT_TRUE(part.truncated());
    ASSERT_EQ(part.count(), k);
    const double top = full.eigenvalue(0);
    const auto [residuals, orthogonality] = residuals_and_orthogonality(v, part);
    EXPECT_LE(*std::max_element(residuals.begin(), residuals.end()), 1e-10 * top);
    EXPECT_LE(orthogonality, 1e-12);
    for (int c = 0; c < k; ++c) {
        EXPECT_NEAR(part.eigenvalue(c), full.eigenvalue(c), 1e-12 * top) << c;
        // The trace identity gives the full decomposition's shares without its other eigenvalues.
        EXPECT_NEAR(part.contribution(c), full.contribution(c), 1e-12) << c;
    }
    // Eigenvectors up to sign, or within a near-equal pair: compare the projectors of the leading block.
    double projector = 0;
    for (int i = 0; i < L; i += 7)
        for (int j = 0; j < L; j += 7) {
            double p = 0, q = 0;
            for (int c = 0; c < 7; ++c) {  // the trend and the three pairs: a clear gap follows
                p += part.eigenvectors()(i, c) * part.eigenvectors()(j, c);
                q += full.eigenvectors()(i, c) * full.eigenvectors()(j, c);
            }
            projector = std::max(projector, std::fabs(p - q));
        }
    EXPECT_LE(projector, 1e-8);
}

// Small eigenvalues under a dominant trend to their own precision; harmonics at 1e-6 of a large offset,
// below the eigenvalues' rounding, still converge.
TEST(TruncatedSvd, ResolvesEveryComponentTheFullPathResolves) {
    constexpr int N = 10000, L = 2500, k = 50;
    const auto noisy = with_noise(N, 1, 0.5, [](int t) {
        return t + std::sin(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 30.5) + std::sin(2 * M_PI * t / 7.3);
    });
    const auto offset = with_noise(N, 3, 0.1, [](int t) { return 1e6 + std::sin(2 * M_PI * t / 12) + 0.5 * std::sin(2 * M_PI * t / 30); });
    EXPECT_EQ(SVD::t_svd(t_ts(offset), L, {svd_solver::automatic, k}).count(), k);
    const SVD::t_svd part(t_ts(noisy), L, {svd_solver::automatic, k});
    ASSERT_TRUE(part.truncated());
    ASSERT_EQ(part.count(), k);
    SVD::svd_options values_only(svd_solver::fast);
    values_only.vectors = false;
    const SVD::t_svd full(t_ts(noisy), L, values_only);
    for (int c = 0; c < k; ++c)
        EXPECT_NEAR(part.eigenvalue(c), full.eigenvalue(c), 1e-10 * full.eigenvalue(c) + full.rounding()) << c;
}

// Each triple to its own singular value, not to the largest: X^T u = sigma v + r with |r| below
// 4e-11 sigma (or the rounding level), so |X X^T u - lambda u| = |X r| is below sigma_1 |r|.
TEST(TruncatedSvd, EachTripleConvergesRelativeToItsOwnValue) {
    constexpr int N = 5000, L = 2500, k = 40;
    const auto v = signal_with_noise(N, 3);
    const SVD::t_svd part(t_ts(v), L, {svd_solver::truncated, k});
    const auto residuals = residuals_and_orthogonality(v, part).first;
    const double sigma_1 = std::sqrt(part.eigenvalue(0)), floor = singular_rounding_level(sigma_1, N);
    ASSERT_GT(1e-10 * std::sqrt(part.eigenvalue(k - 1)), 2 * floor);  // the tolerance decides, not the rounding
    for (int c = 0; c < k; ++c)
        EXPECT_LE(residuals[static_cast<size_t>(c)], sigma_1 * std::max(1e-10 * std::sqrt(part.eigenvalue(c)), 2 * floor))
            << c;
}

TEST(TruncatedSvd, ReproducesASeriesOfExactRankAndRepeatsExactly) {
    const int N = 4000, L = 2100;  // rank 2 + 2 + 2
    const auto v = values_of(sampled(N, [](int t) { return 1e6 * (1 + 0.001 * t + std::sin(2 * M_PI * t / 17) + 0.3 * std::cos(2 * M_PI * t / 50)); }));
    constexpr int k = 12;  // above the rank: the count stops at it
    const SVD::t_svd svd(t_ts(v), L, {svd_solver::truncated, k});
    EXPECT_EQ(svd.count(), 6);
    const series back = svd.reconstruct_values({0, 1, 2, 3, 4, 5});
    for (int t = 0; t < N; t += 37) EXPECT_NEAR(back(t), v[t], 1e-9 * 1e6) << t;
    const SVD::t_svd again(t_ts(v), L, {svd_solver::truncated, k});
    EXPECT_EQ(again.spectrum(), svd.spectrum());
    for (int i = 0; i < L; i += 11)
        for (int c = 0; c < svd.count(); ++c) ASSERT_EQ(again.eigenvectors()(i, c), svd.eigenvectors()(i, c));
}

TEST(TruncatedSvd, NonConvergenceAndCancelAreReported) {
    const auto v = signal_with_noise(5000, 3);
    SVD::svd_options hurried(svd_solver::truncated, 40);
    hurried.max_restarts = 1;
    EXPECT_NE(thrown([&] { SVD::t_svd(t_ts(v), 2500, hurried); }).find("(k = 40)"), std::string::npos);
    struct cancelled {};
    long long products = 0;
    const scoped_progress_hook stop(
        [&](const char* stage, long long, long long) {
            if (std::string(stage) == "decomposition" && ++products == 5) throw cancelled{};
        },
        false);
    EXPECT_THROW(SVD::t_svd(t_ts(v), 2500, SVD::svd_options(svd_solver::truncated, 40)), cancelled);
    EXPECT_EQ(products, 5);
}

TEST(TruncatedSvd, AutomaticTakesItForLongWindowsOnly) {
    using SVD::svd_options;
    EXPECT_FALSE(SVD::takes_truncated(svd_options(svd_solver::automatic, 50), 2000));
    EXPECT_TRUE(SVD::takes_truncated(svd_options(svd_solver::automatic, 50), 2001));
    EXPECT_FALSE(SVD::takes_truncated(svd_options(svd_solver::automatic, 0), 5000));     // every component
    EXPECT_FALSE(SVD::takes_truncated(svd_options(svd_solver::automatic, 5000), 5000));  // as many as L
}

// Long enough for the two halves; an odd row count and a column count that
// leaves a remainder after the four-column sweeps.
TEST(BasisPasses, HalvesGiveThePlainProductsAndRepeatExactly) {
    const Eigen::MatrixXd basis = Eigen::MatrixXd::Random(40001, 13);
    const Eigen::VectorXd x = Eigen::VectorXd::Random(40001);
    basis_passes passes(13);
    Eigen::VectorXd h(11), again(11);
    passes.project(basis, 11, x.data(), h.data());
    EXPECT_LE((h - basis.leftCols(11).transpose() * x).norm(), 1e-12 * h.norm());
    passes.project(basis, 11, x.data(), again.data());
    EXPECT_EQ(h, again);
    Eigen::VectorXd y = x;
    const int columns[] = {2, 3, 5, 6, 7, 8, 9, 10, 12};
    passes.subtract(basis, columns, 9, h.data(), y.data());
    Eigen::VectorXd expected = x;
    for (int i = 0; i < 9; ++i) expected -= h[i] * basis.col(columns[i]);
    EXPECT_LE((y - expected).norm(), 1e-12 * x.norm());
}
