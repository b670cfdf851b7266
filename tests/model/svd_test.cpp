#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "core/hooks.h"
#include "decomp/svd.h"
#include "test_util.h"

namespace {

std::vector<double> noisy_series(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> v;
    for (int t = 0; t < n; ++t)
        v.push_back(300 + 0.05 * t + 3 * std::cos(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 4) + noise(gen));
    return v;
}

// Checks C v = lambda v against the lag-covariance by definition, unit and
// orthogonal eigenvectors and factor vectors, and the decreasing order.
void check_decomposition(const std::vector<double>& v, int L, svd_solver solver) {
    const SVD::t_svd svd(t_ts(v), L, solver);
    const matrix &U = svd.eigenvectors(), &V = svd.factor_vectors();
    std::vector<std::vector<double>> c(L, std::vector<double>(L, 0.0));
    for (int i = 0; i < L; ++i)
        for (int j = 0; j < L; ++j)
            for (int k = 0; k < svd.K(); ++k) c[i][j] += v[i + k] * v[j + k];
    const double top = svd.spectrum()[0];
    ASSERT_GT(top, 0);
    for (int k = 1; k < L; ++k) EXPECT_LE(svd.spectrum()[k], svd.spectrum()[k - 1]);
    for (int k = 0; k < svd.count(); ++k) {
        for (int i = 0; i < L; ++i) {
            double cv = 0;
            for (int j = 0; j < L; ++j) cv += c[i][j] * U(j, k);
            EXPECT_NEAR(cv, svd.spectrum()[k] * U(i, k), 1e-9 * top) << "k=" << k << " i=" << i;
        }
        for (int m = 0; m <= k; ++m) {
            double uu = 0, vv = 0;
            for (int i = 0; i < L; ++i) uu += U(i, k) * U(i, m);
            for (int j = 0; j < svd.K(); ++j) vv += V(j, k) * V(j, m);
            EXPECT_NEAR(uu, k == m ? 1 : 0, 1e-9);
            if (svd.spectrum()[k] > 1e-6 * top) {
                EXPECT_NEAR(vv, k == m ? 1 : 0, 1e-6);
            }
        }
    }
}

}  // namespace

TEST(Decomposition, SmallWorkedSeriesAndConstantSeries) {
    const SVD::t_svd svd(t_ts(std::vector<double>{1, 2, 3, 4}), 2);
    ASSERT_EQ(svd.count(), 2);
    const double disc = std::sqrt(7.5 * 7.5 + 400.0);  // eigenvalues of ((14,20),(20,29))
    EXPECT_NEAR(svd.spectrum()[0], 21.5 + disc, 1e-10);
    EXPECT_NEAR(svd.spectrum()[1], 21.5 - disc, 1e-10);
    EXPECT_NEAR(svd.triple(1).contribution, 0.0033, 1e-4);
    double pc = 0;
    for (double x : svd.triple(1).principal_component) pc += x * x;
    EXPECT_NEAR(pc, 21.5 - disc, 1e-9);  // |sqrt(lambda) v|^2 = lambda

    const SVD::t_svd flat(t_ts(std::vector<double>{1, 1, 1, 1, 1}), 3);
    EXPECT_EQ(flat.count(), 1);
    EXPECT_NEAR(flat.spectrum()[0], 9, 1e-12);
    EXPECT_NEAR(flat.triple(0).contribution, 1, 1e-12);
    EXPECT_EQ(flat.spectrum()[2], 0);
    EXPECT_EQ(flat.triple(2).contribution, 0);
}

TEST(Decomposition, NothingAboveTheBoundGivesZeroContributionsNotNaN) {
    for (double level : {0.0, 1e-4})
        for (svd_solver s : {svd_solver::jacobi, svd_solver::fast}) {
            const SVD::t_svd svd(t_ts(std::vector<double>(9, level)), 4, s);
            EXPECT_EQ(svd.count(), 0);
            for (int c = 0; c < 4; ++c) EXPECT_EQ(svd.triple(c).contribution, 0) << level;
        }
}

// Two valid decompositions of one matrix share the spectrum and, for simple
// eigenvalues, the eigenvectors up to sign: this is the solvers' agreement too.
TEST(Decomposition, EigenpairsHoldForBothSolvers) {
    const auto v = noisy_series(120, 7);
    for (int L : {2, 12, 60, 100})
        for (svd_solver s : {svd_solver::jacobi, svd_solver::fast}) {
            SCOPED_TRACE("L=" + std::to_string(L) + (s == svd_solver::jacobi ? " jacobi" : " fast"));
            check_decomposition(v, L, s);
        }
    t_ts co2;
    co2.load(std::string(KELVANE_DATA) + "/co2.dat");
    check_decomposition(values_of(co2), 24, svd_solver::jacobi);
}

TEST(Decomposition, LongSeriesShortcutsFollowTheDefinitionsAndReportProgress) {
    // Long enough for the FFT factor vectors and the Hankel covariance shortcut.
    const auto v = noisy_series(1500, 11);
    const int L = 700;
    std::map<std::string, std::pair<long long, long long>> last;  // stage -> (done, total)
    const scoped_progress_hook guard([&](const char* stage, long long done, long long total) {
        last[stage] = {done, total};
    });
    const SVD::t_svd svd(t_ts(v), L, svd_solver::fast);
    ASSERT_EQ(svd.count(), L);
    ASSERT_TRUE(last.count("decomposition"));
    // The last step of a counted stage always gets through the throttle.
    EXPECT_EQ(last["lag-covariance"], std::make_pair(700LL, 700LL));
    EXPECT_EQ(last["factor vectors"], std::make_pair(700LL, 700LL));

    matrix x(L, 1500 - L + 1), c(L, L);
    x.embed(series(v));
    lag_covariance(x, c);
    for (int i : {0, 1, 350, 699})
        for (int j : {0, 5, 400, 699}) {
            double xu = 0, s = 0;
            for (int d = 0; d < L; ++d) xu += v[d + j] * svd.eigenvectors()(d, i);
            EXPECT_NEAR(svd.factor_vectors()(j, i) * std::sqrt(svd.spectrum()[i]), xu, 1e-9 * std::fabs(v[0]) * L)
                << i << "," << j;
            for (int k = 0; k < x.cols(); ++k) s += v[i + k] * v[j + k];
            EXPECT_NEAR(c(i, j), s, 1e-12 * s) << i << "," << j;
        }
}

TEST(Decomposition, ShapeChecksThrowTheirNumbers) {
    matrix x(3, 4);
    x.embed(series(std::vector<double>{1, 2, 3, 4, 5, 6}));
    int count = 0;
    auto run = [&](int sl, int cr, int cc, int ur, int uc, int vr, int vc) {
        series sp(sl);
        matrix cov(cr, cc), u(ur, uc), v(vr, vc);
        x.svd(sp, cov, u, v, count, 1e-4);
    };
    EXPECT_EQ(fatal_of([&] { run(2, 3, 3, 3, 3, 4, 3); }), "12: Error 12: spectrum size not equals window length!\n");
    EXPECT_EQ(fatal_of([&] { run(3, 3, 2, 3, 3, 4, 3); }), "13: Error 13: lagged-covariance matrix is not square matrix!\n");
    EXPECT_EQ(fatal_of([&] { run(3, 2, 2, 3, 3, 4, 3); }), "14: Error 14: size of lagged-covariance not equals window length!\n");
    EXPECT_EQ(fatal_of([&] { run(3, 3, 3, 3, 2, 4, 3); }), "15: Error 15: incorrect size of eigenvectors matrix!\n");
    EXPECT_EQ(fatal_of([&] { run(3, 3, 3, 3, 3, 3, 3); }), "16: Error 16: incorrect size of PCs-matrix!\n");
}
