#include <gtest/gtest.h>

#include "decomp/svd.h"
#include "test_util.h"

namespace {

std::vector<double> noisy_series(int n, unsigned seed) {
    return with_noise(n, seed, 1, [](int t) { return 300 + 0.05 * t + 3 * std::cos(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 4); });
}

const svd_solver both[] = {svd_solver::jacobi, svd_solver::fast};
const char* name(svd_solver s) { return s == svd_solver::jacobi ? " jacobi" : " fast"; }

// C v = lambda v against the lag-covariance by definition, orthonormal vectors, decreasing order.
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
            EXPECT_NEAR(cv, svd.spectrum()[k] * U(i, k), 1e-9 * top) << L << name(solver) << " k=" << k;
        }
        for (int m = 0; m <= k; ++m) {
            double uu = 0, vv = 0;
            for (int i = 0; i < L; ++i) uu += U(i, k) * U(i, m);
            for (int j = 0; j < svd.K(); ++j) vv += V(j, k) * V(j, m);
            EXPECT_NEAR(uu, k == m ? 1 : 0, 1e-9);
            if (svd.spectrum()[k] > 1e-6 * top) { EXPECT_NEAR(vv, k == m ? 1 : 0, 1e-6); }
        }
    }
}

}  // namespace

TEST(Decomposition, SmallWorkedConstantAndZeroSeries) {
    const SVD::t_svd svd(t_ts(std::vector<double>{1, 2, 3, 4}), 2);
    ASSERT_EQ(svd.count(), 2);
    const double disc = std::sqrt(7.5 * 7.5 + 400.0);  // eigenvalues of ((14,20),(20,29))
    EXPECT_NEAR(svd.spectrum()[0], 21.5 + disc, 1e-10);
    EXPECT_NEAR(svd.spectrum()[1], 21.5 - disc, 1e-10);
    double pc = 0;
    for (double x : svd.triple(1).principal_component) pc += x * x;
    EXPECT_NEAR(pc, 21.5 - disc, 1e-9);  // |sqrt(lambda) v|^2 = lambda

    for (svd_solver s : both) {  // nothing above the bound: contributions 0, not NaN
        const SVD::t_svd zero(t_ts(std::vector<double>(9, 0.0)), 4, s);
        EXPECT_EQ(zero.count(), 0);
        for (int c = 0; c < 4; ++c) EXPECT_EQ(zero.triple(c).contribution, 0) << name(s);
    }
}

// Known rank at any scale: what lies beyond the rank is rounding and never in use.
TEST(Decomposition, ComponentsInUseAreTheRankWhateverTheUnits) {
    const std::pair<int, double (*)(int)> shapes[] = {
        {2, [](int t) { return std::sin(2 * M_PI * t / 12); }},
        {6, [](int t) { return 1 + 0.01 * t + std::sin(2 * M_PI * t / 12) + 0.5 * std::cos(2 * M_PI * t / 30); }},
    };
    for (const auto& shape : shapes)
        for (int N : {100, 468})
            for (double scale : {1e-9, 1.0, 1e12})
                for (int L : {12, N / 2})
                    for (svd_solver s : both) {
                        const SVD::t_svd svd(sampled(N, [&](int t) { return scale * shape.second(t); }), L, s);
                        EXPECT_EQ(svd.count(), shape.first) << "N=" << N << " scale=" << scale << " L=" << L << name(s);
                        for (int c = svd.count(); c < L; ++c) EXPECT_EQ(svd.spectrum()[static_cast<size_t>(c)], 0);
                    }
}

// Valid decompositions of one matrix agree: this is the solvers' agreement too.
TEST(Decomposition, EigenpairsHoldForBothSolvers) {
    const auto v = noisy_series(120, 7);
    for (int L : {2, 12, 60, 100})
        for (svd_solver s : both) check_decomposition(v, L, s);
}

TEST(Decomposition, EigenvaluesAloneMatchTheEigenpairsSpectrum) {
    const auto v = noisy_series(700, 3);
    SVD::svd_options values_only(svd_solver::fast);
    values_only.vectors = false;
    const SVD::t_svd with(t_ts(v), 350, svd_solver::fast), alone(t_ts(v), 350, values_only);
    ASSERT_EQ(alone.count(), with.count());
    for (int c = 0; c < 350; ++c) EXPECT_NEAR(alone.spectrum()[c], with.spectrum()[c], 1e-12 * with.spectrum()[0]) << c;
    EXPECT_NE(thrown([&] { alone.reconstruct_values({0}); }).find("eigenvalues alone"), std::string::npos);
}

TEST(Decomposition, LongSeriesShortcutsFollowTheDefinitions) {
    // Long enough for the FFT factor vectors and the Hankel covariance shortcut.
    const auto v = noisy_series(1500, 11);
    const int L = 700;
    const SVD::t_svd svd(t_ts(v), L, svd_solver::fast);
    ASSERT_EQ(svd.count(), L);

    matrix x(L, 1500 - L + 1), c(L, L);
    x.embed(series(v));
    lag_covariance(x, c);
    for (int i : {0, 1, 350, 699})
        for (int j : {0, 5, 400, 699}) {
            double xu = 0, s = 0;
            for (int d = 0; d < L; ++d) xu += v[d + j] * svd.eigenvectors()(d, i);
            EXPECT_NEAR(svd.factor_vectors()(j, i) * std::sqrt(svd.spectrum()[i]), xu, 1e-9 * std::fabs(v[0]) * L);
            for (int k = 0; k < x.cols(); ++k) s += v[i + k] * v[j + k];
            EXPECT_NEAR(c(i, j), s, 1e-12 * s) << i << "," << j;
        }
}

// Values far from 1 are decomposed scaled by a power of two, the eigenvalues back by its square.
TEST(Decomposition, ExtremeValuesGiveTheResultsOfOrdinaryOnesOrAnError) {
    const std::vector<double> y = values_of(data_series("co2.dat"));
    auto times = [&](int k) { return values_of(sampled(static_cast<int>(y.size()), [&](int t) { return std::ldexp(y[t], k); })); };
    for (int L : {24, 234}) {  // the Jacobi and the LAPACK solver
        const SVD::t_svd base(t_ts(y), L);
        const series base_rec = base.reconstruct_values({0, 1, 2});
        // 2^250 is about 1e75, where the Jacobi off-diagonal sum overflowed.
        for (int k : {-450, 250, 450}) {
            const SVD::t_svd svd(t_ts(times(k)), L);
            ASSERT_EQ(svd.count(), base.count()) << "L=" << L << " times 2^" << k;
            const double tol = L == 24 ? 0 : 1e-12;  // LAPACK may round a scaled matrix otherwise
            for (int c = 0; c < L; ++c) {
                const double lambda = std::ldexp(svd.spectrum()[static_cast<size_t>(c)], -2 * k);
                EXPECT_NEAR(lambda, base.spectrum()[static_cast<size_t>(c)], tol * base.spectrum()[0]) << c;
                EXPECT_NEAR(svd.contribution(c), base.contribution(c), tol) << c;
            }
            const series rec = svd.reconstruct_values({0, 1, 2});
            for (int t = 0; t < rec.size(); ++t)
                EXPECT_NEAR(std::ldexp(rec(t), -k), base_rec(t), tol * 1e3 * std::fabs(base_rec(t))) << t;
        }
    }
    // One outlier: while its square fits, it holds; beyond, the eigenvalues overflow.
    std::vector<double> outlier(50, 1.0);
    outlier[25] = 1e150;
    for (svd_solver s : both) {
        const SVD::t_svd svd(t_ts(outlier), 10, s);
        ASSERT_EQ(svd.count(), 10) << name(s);
        const series rec = svd.reconstruct_values({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        for (int t = 0; t < 50; ++t) EXPECT_NEAR(rec(t), outlier[static_cast<size_t>(t)], 1e-12 * 1e150) << t;
        for (int c = 0; c < 10; ++c) EXPECT_NEAR(svd.spectrum()[static_cast<size_t>(c)], 1e300, 1e-12 * 1e300) << c;
    }
    outlier[25] = 1e160;
    for (const std::vector<double>& v : {times(520), times(-560), outlier})
        EXPECT_THROW(SVD::t_svd(t_ts(v), 10), SSA_math_exception::ssa_exception);
}

TEST(SvdMemory, ADecompositionBeyondTheAvailableMemoryIsRefusedNamingWhatFits) {
    const t_ts ts(noisy_series(2000, 5));
    {
        const SVD::scoped_available_memory available(3e6);
        const std::string message = thrown([&] { SVD::t_svd(ts, 1000); });
        const std::string says = "the decomposition of N = 2000 values for L = 1000 needs about 40.0 MB of memory, "
                                 "but 3.0 MB are available: take L = ";
        ASSERT_EQ(message.substr(0, says.size()), says);
        const int fits = std::stoi(message.substr(says.size()));
        EXPECT_LE(SVD::decomposition_bytes(2000, fits), 3e6);
        EXPECT_GT(SVD::decomposition_bytes(2000, fits + 1), 3e6);
        EXPECT_EQ(SVD::t_svd(ts, fits).L(), fits);
        EXPECT_NE(message.find(", or the truncated decomposition of the leading 50 components (2.4 MB)"), std::string::npos);
        const SVD::scoped_available_memory tiny(100);
        EXPECT_NE(thrown([&] { SVD::t_svd(ts, 2); }).find(": no window length fits"), std::string::npos);
    }
    EXPECT_EQ(SVD::t_svd(ts, 1000).L(), 1000);

    // Too many truncated components are advised fewer components, not another window.
    const int N = 1000000, L = N / 2;
    const SVD::svd_options asked(svd_solver::automatic, 100000);
    const SVD::scoped_available_memory available(16e9);
    const std::string message = thrown([&] { SVD::check_decomposition_memory(N, L, asked); });
    const std::string says = " GB of memory, but 16.0 GB are available: decompose the leading ";
    ASSERT_NE(message.find(says), std::string::npos) << message;
    const int fits = std::stoi(message.substr(message.find(says) + says.size()));
    EXPECT_LE(SVD::decomposition_bytes(N, L, SVD::svd_options(svd_solver::truncated, fits)), 16e9);
    EXPECT_GT(SVD::decomposition_bytes(N, L, SVD::svd_options(svd_solver::truncated, fits + 1)), 16e9);
}
