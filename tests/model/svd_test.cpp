#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

#include "core/hooks.h"
#include "decomp/svd.h"

namespace {

t_ts make_ts(const std::vector<double>& v) { return t_ts(v); }

std::vector<double> noisy_series(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> v;
    for (int t = 0; t < n; ++t)
        v.push_back(300 + 0.05 * t + 3 * std::cos(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 4) + noise(gen));
    return v;
}

// Lag-covariance by definition, independent of the library.
std::vector<std::vector<double>> covariance_of(const std::vector<double>& v, int L) {
    const int K = static_cast<int>(v.size()) - L + 1;
    std::vector<std::vector<double>> c(L, std::vector<double>(L, 0.0));
    for (int i = 0; i < L; ++i)
        for (int j = 0; j < L; ++j)
            for (int k = 0; k < K; ++k) c[i][j] += v[i + k] * v[j + k];
    return c;
}

// Checks C v = lambda v, unit and orthogonal eigenvectors and factor vectors,
// and the decreasing order, all relative to the largest eigenvalue.
void check_decomposition(const std::vector<double>& v, int L, svd_solver solver) {
    const SVD::t_svd svd(make_ts(v), L, solver);
    const auto c = covariance_of(v, L);
    const double top = svd.spectrum()[0];
    ASSERT_GT(top, 0);
    for (int k = 1; k < L; ++k) EXPECT_LE(svd.spectrum()[k], svd.spectrum()[k - 1]);
    for (int k = 0; k < svd.count(); ++k) {
        for (int i = 0; i < L; ++i) {
            double cv = 0;
            for (int j = 0; j < L; ++j) cv += c[i][j] * svd.eigenvectors()(j, k);
            EXPECT_NEAR(cv, svd.spectrum()[k] * svd.eigenvectors()(i, k), 1e-9 * top) << "k=" << k << " i=" << i;
        }
        for (int m = 0; m <= k; ++m) {
            double uu = 0, vv = 0;
            for (int i = 0; i < L; ++i) uu += svd.eigenvectors()(i, k) * svd.eigenvectors()(i, m);
            for (int j = 0; j < svd.K(); ++j) vv += svd.factor_vectors()(j, k) * svd.factor_vectors()(j, m);
            EXPECT_NEAR(uu, k == m ? 1 : 0, 1e-9);
            if (svd.spectrum()[k] > 1e-6 * top) {
                EXPECT_NEAR(vv, k == m ? 1 : 0, 1e-6);
            }
        }
    }
}

}  // namespace

TEST(Decomposition, SmallWorkedSeries) {
    const SVD::t_svd svd(make_ts({1, 2, 3, 4}), 2);
    EXPECT_EQ(svd.L(), 2);
    EXPECT_EQ(svd.K(), 3);
    EXPECT_EQ(svd.count(), 2);
    const double disc = std::sqrt(7.5 * 7.5 + 400.0);  // eigenvalues of ((14,20),(20,29))
    EXPECT_NEAR(svd.spectrum()[0], 21.5 + disc, 1e-10);
    EXPECT_NEAR(svd.spectrum()[1], 21.5 - disc, 1e-10);
    EXPECT_NEAR(svd.spectrum()[0], 42.860, 1e-3);
    EXPECT_NEAR(svd.triple(0).contribution, 0.9967, 1e-4);
    EXPECT_NEAR(svd.triple(1).contribution, 0.0033, 1e-4);
    EXPECT_EQ(svd.triple(1).number, 1);
    for (int c = 0; c < 2; ++c) {
        double pc = 0;
        for (double x : svd.triple(c).principal_component) pc += x * x;
        EXPECT_NEAR(pc, svd.triple(c).eigenvalue, 1e-9);  // |sqrt(lambda) v|^2 = lambda
    }
}

TEST(Decomposition, ConstantSeriesHasOneTripleInUse) {
    const SVD::t_svd svd(make_ts({1, 1, 1, 1, 1}), 3);
    EXPECT_EQ(svd.count(), 1);
    EXPECT_NEAR(svd.spectrum()[0], 9, 1e-12);
    EXPECT_NEAR(svd.triple(0).contribution, 1, 1e-12);
    for (int c = 1; c < 3; ++c) {
        const t_eigen_triple& t = svd.triple(c);
        EXPECT_EQ(svd.spectrum()[c], 0);
        EXPECT_EQ(t.contribution, 0);
        for (double x : t.eigenvector) EXPECT_EQ(x, 0);
        for (double x : t.factor_vector) EXPECT_EQ(x, 0);
        for (double x : t.principal_component) EXPECT_EQ(x, 0);
    }
}

TEST(Decomposition, ZeroSeriesGivesZeroContributionsNotNaN) {
    for (svd_solver s : {svd_solver::jacobi, svd_solver::fast}) {
        const SVD::t_svd svd(make_ts(std::vector<double>(9, 0.0)), 4, s);
        EXPECT_EQ(svd.count(), 0);
        for (int c = 0; c < 4; ++c) {
            EXPECT_EQ(svd.spectrum()[c], 0);
            EXPECT_EQ(svd.triple(c).contribution, 0);
        }
    }
    // Tiny values: every eigenvalue is at or below the bound.
    const SVD::t_svd tiny(make_ts(std::vector<double>(9, 1e-4)), 4);
    EXPECT_EQ(tiny.count(), 0);
    EXPECT_EQ(tiny.triple(0).contribution, 0);
}

TEST(Decomposition, EigenpairsHoldForBothSolvers) {
    const auto v = noisy_series(120, 7);
    for (int L : {2, 12, 60, 100})
        for (svd_solver s : {svd_solver::jacobi, svd_solver::fast}) {
            SCOPED_TRACE("L=" + std::to_string(L) + (s == svd_solver::jacobi ? " jacobi" : " fast"));
            check_decomposition(v, L, s);
        }
}

TEST(Decomposition, EigenpairsOfTheBundledSamples) {
    for (const char* name : {"co2.dat", "airpassengers.dat", "nottem.dat"}) {
        t_ts ts;
        ts.load(std::string(KELVANE_DATA) + "/" + name);
        const std::vector<double> v(ts.values().data(), ts.values().data() + ts.size());
        SCOPED_TRACE(name);
        check_decomposition(v, 24, svd_solver::jacobi);
    }
}

TEST(Decomposition, SolversAgreeUpToEigenvectorSigns) {
    const auto v = noisy_series(200, 3);
    const int L = 50;
    const SVD::t_svd a(make_ts(v), L, svd_solver::jacobi);
    const SVD::t_svd b(make_ts(v), L, svd_solver::fast);
    ASSERT_EQ(a.count(), b.count());
    const double top = a.spectrum()[0];
    for (int k = 0; k < L; ++k) {
        EXPECT_NEAR(a.spectrum()[k], b.spectrum()[k], 1e-9 * top);
        EXPECT_NEAR(a.triple(k).contribution, b.triple(k).contribution, 1e-9);
    }
    // Eigenvectors of well separated eigenvalues agree up to sign.
    for (int k = 0; k < 3; ++k) {
        double dot = 0;
        for (int i = 0; i < L; ++i) dot += a.eigenvectors()(i, k) * b.eigenvectors()(i, k);
        EXPECT_NEAR(std::fabs(dot), 1, 1e-8) << k;
    }
}

TEST(Decomposition, FactorVectorsOfLongSeriesFollowTheDefinition) {
    // Long enough for the FFT correlation path of the fast solver.
    const auto v = noisy_series(1000, 5);
    const int L = 500, K = 501;
    const SVD::t_svd svd(make_ts(v), L, svd_solver::fast);
    ASSERT_EQ(svd.count(), L);
    for (int c : {0, 1, 250, 499})
        for (int j : {0, 1, 250, 500}) {
            double xu = 0;
            for (int d = 0; d < L; ++d) xu += v[d + j] * svd.eigenvectors()(d, c);
            EXPECT_NEAR(svd.factor_vectors()(j, c) * std::sqrt(svd.spectrum()[c]), xu, 1e-9 * std::fabs(v[0]) * L)
                << c << "," << j;
        }
    EXPECT_EQ(svd.K(), K);
}

TEST(Decomposition, HankelCovarianceMatchesDefinition) {
    // Large enough to take the shortcut from each row's predecessor.
    const auto v = noisy_series(1500, 11);
    const int L = 700;
    matrix x(L, 1500 - L + 1);
    x.embed(series(v));
    matrix c(L, L);
    lag_covariance(x, c);
    for (int i : {0, 1, 350, 699})
        for (int j : {0, 5, 698, 699}) {
            double s = 0;
            for (int k = 0; k < x.cols(); ++k) s += v[i + k] * v[j + k];
            EXPECT_NEAR(c(i, j), s, 1e-12 * s) << i << "," << j;
        }
}

TEST(Decomposition, CopyIsDeepAndKeepsTheCount) {
    SVD::t_svd a(make_ts(noisy_series(30, 1)), 10);
    a.set_count(3);
    EXPECT_EQ(a.count(), 3);
    const SVD::t_svd b(a);
    EXPECT_EQ(b.count(), 3);
    EXPECT_EQ(b.spectrum(), a.spectrum());
    EXPECT_EQ(b.triple(4).eigenvector, a.triple(4).eigenvector);
    EXPECT_EQ(b.factor_vectors()(5, 2), a.factor_vectors()(5, 2));
}

TEST(Decomposition, ReportsProgressOfEveryStage) {
    std::map<std::string, std::pair<long long, long long>> last;  // stage -> (done, total)
    const scoped_progress_hook guard([&](const char* stage, long long done, long long total) {
        last[stage] = {done, total};
    });
    const SVD::t_svd svd(make_ts(noisy_series(2000, 4)), 1000, svd_solver::fast);
    for (const char* stage : {"lag-covariance", "decomposition", "factor vectors"})
        ASSERT_TRUE(last.count(stage)) << stage;
    // The last step of a counted stage always gets through the throttle.
    EXPECT_EQ(last["lag-covariance"].first, 1000);
    EXPECT_EQ(last["factor vectors"].first, last["factor vectors"].second);
}

TEST(DecompositionDeathTest, ShapeChecksExitWithTheirNumbers) {
    matrix x(3, 4);
    x.embed(series(std::vector<double>{1, 2, 3, 4, 5, 6}));
    int count = 0;
    auto run = [&](int sl, int cr, int cc, int ur, int uc, int vr, int vc) {
        series sp(sl);
        matrix cov(cr, cc), u(ur, uc), v(vr, vc);
        x.svd(sp, cov, u, v, count, 1e-4);
    };
    EXPECT_EXIT(run(2, 3, 3, 3, 3, 4, 3), testing::ExitedWithCode(12), "Error 12: spectrum size not equals window length!");
    EXPECT_EXIT(run(3, 3, 2, 3, 3, 4, 3), testing::ExitedWithCode(13), "Error 13: lagged-covariance matrix is not square matrix!");
    EXPECT_EXIT(run(3, 2, 2, 3, 3, 4, 3), testing::ExitedWithCode(14), "Error 14: size of lagged-covariance not equals window length!");
    EXPECT_EXIT(run(3, 3, 3, 3, 2, 4, 3), testing::ExitedWithCode(15), "Error 15: incorrect size of eigenvectors matrix!");
    EXPECT_EXIT(run(3, 3, 3, 3, 3, 3, 3), testing::ExitedWithCode(16), "Error 16: incorrect size of PCs-matrix!");
}

TEST(JacobiSolver, DiagonalAndDegenerateMatrices) {
    // Already diagonal: no rotation, the sort alone orders the values.
    std::vector<double> a = {1, 0, 3, 0, 0, 2};  // packed diag(1, 3, 2)
    std::vector<double> r;
    jacobi_eigen(a, r, 3);
    EXPECT_EQ(a[0], 3);
    EXPECT_EQ(a[2], 2);
    EXPECT_EQ(a[5], 1);
    EXPECT_EQ(r[0 * 3 + 1], 1);  // eigenvector 0 is e_1
    EXPECT_EQ(r[1 * 3 + 2], 1);
    EXPECT_EQ(r[2 * 3 + 0], 1);
    // All-equal matrix of order 4: eigenvalues 4, 0, 0, 0 with orthonormal vectors.
    std::vector<double> ones(10, 1.0);
    jacobi_eigen(ones, r, 4);
    EXPECT_NEAR(ones[0], 4, 1e-12);
    for (int i = 1; i < 4; ++i) EXPECT_NEAR(ones[static_cast<size_t>(i + i * (i + 1) / 2)], 0, 1e-12);
    for (int c = 0; c < 4; ++c)
        for (int d = 0; d < 4; ++d) {
            double dot = 0;
            for (int i = 0; i < 4; ++i) dot += r[c * 4 + i] * r[d * 4 + i];
            EXPECT_NEAR(dot, c == d ? 1 : 0, 1e-12);
        }
}
