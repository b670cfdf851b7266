#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/diagnostics.h"
#include "core/matrix.h"
#include "methods/polyroots.h"

namespace {

// a_t = c cos(2 pi t / period), b_t = sign * c sin(2 pi t / period).
matrix circle(int n, double period, double c = 1.0, double sign = 1.0) {
    matrix m(n, 2);
    for (int t = 0; t < n; ++t) {
        m.set(c * std::cos(2 * M_PI * t / period), t, 0);
        m.set(sign * c * std::sin(2 * M_PI * t / period), t, 1);
    }
    return m;
}

}  // namespace

TEST(Phi, CircleOfPeriod12EitherWayRound) {
    EXPECT_NEAR(circle(48, 12, 3.0).getperiod_angles(false), 12, 1e-9);
    EXPECT_NEAR(circle(48, 12, 3.0, -1).getperiod_angles(false), 12, 1e-9);
    EXPECT_NEAR(circle(48, 12, 0.01, -1).getperiod_angles(true), 12, 1e-9);
}

TEST(Charroots, LeadingComplexRootGivesThePeriodOrZero) {
    std::ostringstream diag;  // keeps the diagnostic lines off the test output
    scoped_diagnostic_stream to(diag);
    // Unit vectors of a harmonic, as eigenvectors would be; the last one at the 1000-coefficient limit.
    for (int n : {24, 60, 1000}) {
        const matrix m = circle(n, 12, 1 / std::sqrt(n / 2.0));
        EXPECT_NEAR(m.getperiod_charroots(false), 12, 1e-3) << n;
        EXPECT_NEAR(circle(n, 12, 5.0).getperiod_charroots(true), 12, 1e-3) << n;
    }
    diag.str("");
    // No complex root, or vectors too long for the root finder, give 0.
    matrix real_roots(3, 2);  // z^2 - r1 z - r0 with r0, r1 > 0
    for (int t = 0; t < 3; ++t) {
        real_roots.set(0.1 * (t + 1), t, 0);
        real_roots.set(0.0, t, 1);
    }
    EXPECT_EQ(real_roots.getperiod_charroots(false), 0.0);
    EXPECT_EQ(circle(2, 12, 0.5).getperiod_charroots(false), 0.0);  // degree 1
    EXPECT_EQ(circle(1001, 12, 1 / std::sqrt(500.5)).getperiod_charroots(false), 0.0);
    EXPECT_EQ(diag.str(), "char.pol.: v=0.09\nchar.pol.: v=0.25\nchar.pol.: v=0.001998\n");
}

TEST(PolynomialRoots, KnownRealAndComplexRoots) {
    std::vector<std::complex<double>> roots;
    // (z - 1)(z - 2)(z^2 + 1) = z^4 - 3z^3 + 3z^2 - 3z + 2
    ASSERT_TRUE(polynomial_roots({1, -3, 3, -3, 2}, 1e-15, roots));
    ASSERT_EQ(roots.size(), 4u);
    for (const auto& z : roots) EXPECT_LT(std::abs((((z - 3.0) * z + 3.0) * z - 3.0) * z + 2.0), 1e-12);
    EXPECT_EQ(std::count_if(roots.begin(), roots.end(), [](auto z) { return z.imag() == 0; }), 2);
}

TEST(Periodogram, CosineOfPeriod8OverSixtyFourPoints) {
    std::ostringstream diag;
    scoped_diagnostic_stream to(diag);
    series s(64);
    for (int t = 0; t < 64; ++t) s[t] = 2 + std::cos(2 * M_PI * t / 8);
    EXPECT_DOUBLE_EQ(s.getperiod_periodogr(), 8);
    EXPECT_EQ(diag.str(),
              "series::getperiod_periodogr() : fmax for series = 0.125\n"
              "series::getperiod_periodogr() : period=8\n");
    EXPECT_EQ(series(1).getperiod_periodogr(), -1.0);  // no frequency scanned
}
