#include <gtest/gtest.h>

#include <sstream>

#include "methods/fourier_screen.h"
#include "test_util.h"

namespace {

using pairs_t = std::vector<Pair::t_pair<int>>;

matrix columns(int n, const std::vector<std::function<double(int)>>& f) {
    matrix m(n, static_cast<int>(f.size()));
    for (int t = 0; t < n; ++t)
        for (size_t c = 0; c < f.size(); ++c) m.set(f[c](t), t, static_cast<int>(c));
    return m;
}

std::function<double(int)> wave(double amplitude, double period, double phase = 0) {
    return [=](int t) { return amplitude * std::cos(2 * M_PI * t / period + phase); };
}

// The plain loops rho must keep the bits of: normalised sums at k / n, then the best pair of neighbouring bins.
using sums = std::vector<std::pair<double, double>>;
sums plain_sums(const matrix& m, int c) {
    const int n = m.rows();
    double norm = 0;
    for (int t = 0; t < n; ++t) norm += m(t, c) * m(t, c);
    sums cs(static_cast<size_t>(n / 2 + 1));
    for (int k = 0; k <= n / 2; ++k)
        for (int t = 0; t < n; ++t) {
            const double arg = 6.283185307179586 * t * (static_cast<double>(k) / n), x = m(t, c) / std::sqrt(norm);
            cs[k].first += x * std::cos(arg), cs[k].second += x * std::sin(arg);
        }
    return cs;
}

double plain_rhomax(const sums& a, const sums& b, int n) {
    double best = -1, prev = 0;
    for (int k = 0; k <= n / 2; ++k) {
        const double f = static_cast<double>(k) / n;
        double P = (a[k].first * a[k].first + a[k].second * a[k].second + b[k].first * b[k].first + b[k].second * b[k].second) / n;
        if (0.5 - f < 1.0 / n || f < 1.0 / n) P = P / 2;
        if (k > 0 && prev + P > best) best = prev + P;
        prev = P;
    }
    return best;
}

}  // namespace

TEST(FourierPairing, NeighbouringHarmonicsArePairedAndEveryComponentLogged) {
    const matrix m = columns(50, {wave(1, 1e300), wave(1, 10, 1), wave(1, 10), wave(1, 2)});
    pairs_t pairs{{7, 7}};
    m.paring_byFourier(3, pairs, 0, nullptr);
    EXPECT_EQ(pairs, (pairs_t{{1, 2}}));  // cleared first; column 0 has no predecessor
    // Peaks one bin apart: n * |df| is 1 up to rounding.
    const matrix apart = columns(50, {wave(1, 10), wave(1, 50 / 6.0)});
    apart.paring_byFourier(2, pairs, 1, nullptr);
    EXPECT_EQ(pairs, (pairs_t{{0, 1}}));
    apart.paring_byFourier(2, pairs, 0.99, nullptr);
    EXPECT_TRUE(pairs.empty());

    const matrix small = columns(8, {wave(1.1, 4), wave(1.1, 4, -M_PI / 2), wave(1.3, 2)});
    std::ostringstream log;
    small.paring_byFourier(3, pairs, 1, &log);
    EXPECT_EQ(pairs, (pairs_t{{0, 1}, {2, 2}}));
    // Pmax div n: 4.4^2 = 19.36 -> 19 / 8 = 2; (8 * 1.3)^2 / 2 = 54.08 -> 54 / 8 = 6.
    EXPECT_EQ(log.str(), "*** Fourier method for identification \"harmonical\" pairs of components ***\n"
              "    parameter=1, M=8\n\n"
              "#1 Pi(0.25)=2, M*|fmax-fpkmax|=2\n"
              "#2 Pi(0.25)=2, M*|fmax-fpkmax|=0\n"
              "* Pair of components (1,2) identificated as \"harmonic\" pair\n\n"
              "#3 Pi(0.5)=6, M*|fmax-0.5|=0\n"
              "* Component #3 identificated as component of harmonic with period = 2\n\n"
              "#3 Pi(0.5)=6, M*|fmax-fpkmax|=2\n");

    log.str("");
    pairs = {{0, 1}};
    EXPECT_EQ(thrown([&] { small.paring_byFourier(4, pairs, 1, &log); }), "invalid cpntsamount parameter given to paring_byFourier(...)");
    EXPECT_TRUE(pairs.empty());
    EXPECT_EQ(log.str().find('#'), std::string::npos) << "nothing logged past the header";
}

TEST(Rhomax, UnitHarmonicIsNearlyOneAndManyColumnsKeepThePlainLoopsBits) {
    const double unit = 1 / std::sqrt(30.0);
    EXPECT_NEAR(columns(60, {wave(unit, 12), wave(unit, 12, 1)}).pair_rhomax(0, 1, false), 1.0, 1e-9);
    EXPECT_NEAR(columns(60, {wave(7, 12), wave(-3, 12, 1)}).pair_rhomax(0, 1, true), 1.0, 1e-9);

    // Many columns at once keep the plain loops' bits.
    const int n = 301, cols = 150;  // more times, columns and frequencies than one tile
    std::mt19937 gen(7);
    std::normal_distribution<double> noise(0, 1000);
    const matrix m = columns(n, std::vector<std::function<double(int)>>(cols, [&](int) { return noise(gen); }));
    pairs_t pairs;
    for (int c = 0; c + 2 < cols; c += 3) pairs.emplace_back(c, c + 1 + c % 2);
    const std::vector<double> rho = m.pairs_rhomax(pairs, true);
    for (size_t p = 0; p < pairs.size(); ++p) {
        const double best = plain_rhomax(plain_sums(m, pairs[p].first), plain_sums(m, pairs[p].second), n);
        EXPECT_EQ(std::make_pair(rho[p], m.pair_rhomax(pairs[p].first, pairs[p].second, true)), std::make_pair(best, best)) << p;
    }
}

// Long columns take the FFT screen; peaks and rho keep the plain loops' bits, near ties and columns sent back included.
TEST(Screening, PeaksAndRhoOfLongColumnsMatchThePlainLoopsBitForBit) {
    std::mt19937 gen(5);
    std::normal_distribution<double> noise(0, 1);
    for (int n : {2048, 2999}) {
        ASSERT_GE(static_cast<double>(n) * (n / 2 + 1), fourier::screen_threshold);
        const double w = 2 * M_PI / n;
        // A peak between bins k and k + 1 that the exact transform puts k + 1 ahead of by 1e-7.
        const int k = n / 3;
        auto lead = [&](double nu) {
            long double p[2] = {};
            for (int i : {0, 1}) {
                long double C = 0, S = 0, a;
                for (int t = 0; t < n; ++t)
                    a = 2 * 3.14159265358979323846L * ((k + i) * t % n) / n, C += std::cos(w * nu * t) * std::cos(a),
                    S += std::cos(w * nu * t) * std::sin(a);
                p[i] = C * C + S * S;
            }
            return static_cast<double>(p[1] / p[0] - 1);
        };
        double lo = k + 0.4, hi = k + 0.6;
        for (int i = 0; i < 50; ++i) (lead((lo + hi) / 2) < 1e-7 ? lo : hi) = (lo + hi) / 2;
        const double nu = hi;

        // Noise, on a bin, between bins, a near tie, an end bin, zeros, a NaN, the near-tied peak.
        matrix m = columns(n, {[&](int) { return noise(gen); }, [&](int t) { return 3 * std::cos(w * 37 * t + 0.3); },
                               [&](int t) { return std::cos(w * 37.5 * t); },
                               [&](int t) { return std::cos(w * 100 * t) + std::sin(w * 300 * t); },
                               [&](int t) { return 1e-3 * t + 0.1 * noise(gen); }, [&](int) { return 0.0; },
                               [&](int t) { return t == 7 ? NAN : noise(gen); }, [&](int t) { return std::cos(w * nu * t); }});
        const int cols = m.cols();

        std::vector<double> best(cols, -1), fmax(cols, -1);
        for (double f = 0; f < 0.50001; f += 1.0 / n) {
            std::vector<double> C(cols), S(cols);
            for (int t = 0; t < n; ++t) {
                const double a = 2.0 * 3.141592654 * t * f;
                for (int c = 0; c < cols; ++c) C[c] += m(t, c) * std::cos(a), S[c] += m(t, c) * std::sin(a);
            }
            for (int c = 0; c < cols; ++c) {
                const double I = (C[c] * C[c] + S[c] * S[c]) / (f < 1.0 / n || 0.5 - f < 1.0 / n ? 2 : 1);
                if (I > best[c]) best[c] = I, fmax[c] = f;
            }
        }
        const std::vector<matrix::periodogram_peak> peaks = m.periodogram_max_columns(cols);
        for (int c = 0; c < cols; ++c)
            EXPECT_TRUE(peaks[c].fmax == fmax[c] && peaks[c].Pmax == static_cast<int>(best[c])) << n << " " << c;

        pairs_t pairs{{3, 3}};  // a column with itself counts its bins twice
        for (int c = 0; c + 1 < cols; ++c) pairs.emplace_back(c, c + 1);
        const std::vector<double> rho = m.pairs_rhomax(pairs, true);
        std::vector<sums> cs;
        for (int c = 0; c < cols; ++c) cs.push_back(plain_sums(m, c));
        for (size_t p = 0; p < pairs.size(); ++p)
            EXPECT_EQ(rho[p], plain_rhomax(cs[pairs[p].first], cs[pairs[p].second], n)) << n << " " << p;
    }
}
