#include <gtest/gtest.h>

#include <sstream>

#include "core/diagnostics.h"
#include "test_util.h"

namespace {

// a_t = c cos(2 pi t / period), b_t = sign * c sin(2 pi t / period).
matrix circle(int n, double period, double c = 1.0, double sign = 1.0) {
    matrix m(n, 2);
    for (int t = 0; t < n; ++t)
        m.set(c * std::cos(2 * M_PI * t / period), t, 0), m.set(sign * c * std::sin(2 * M_PI * t / period), t, 1);
    return m;
}

// An orthonormal pair, as a clean harmonic's eigenvectors: the recurrence Charroots builds is then exact.
matrix orthonormal_circle(int n, double period) {
    matrix m = circle(n, period);
    double aa = 0, ab = 0;
    for (int t = 0; t < n; ++t) {
        aa += m(t, 0) * m(t, 0);
        ab += m(t, 0) * m(t, 1);
    }
    for (int t = 0; t < n; ++t) m.set(m(t, 1) - ab / aa * m(t, 0), t, 1);
    for (int c = 0; c < 2; ++c) {
        double norm = 0;
        for (int t = 0; t < n; ++t) norm += m(t, c) * m(t, c);
        for (int t = 0; t < n; ++t) m.set(m(t, c) / std::sqrt(norm), t, c);
    }
    return m;
}

}  // namespace

TEST(Phi, CircleOfPeriod12EitherWayRound) {
    for (double sign : {1.0, -1.0}) EXPECT_NEAR(circle(48, 12, 3.0, sign).getperiod_angles(false), 12, 1e-9) << sign;
    EXPECT_NEAR(circle(48, 12, 0.01, -1).getperiod_angles(true), 12, 1e-9);
}

// Where both apply, the roots and the shift invariance give one period; beyond
// the root finder's limit Charroots falls back on the shift invariance.
TEST(Charroots, ShiftInvarianceAgreesWithTheRootsAndTakesOverAbove1000Points) {
    std::ostringstream diag;
    scoped_diagnostic_stream to(diag);
    // No complex root, or too short a vector, give 0.
    EXPECT_EQ(from_columns({{0.1, 0.2, 0.3}, {0, 0, 0}}).getperiod_charroots(false), 0.0);  // z^2 - r1 z - r0, r > 0
    EXPECT_EQ(circle(2, 12, 0.5).getperiod_charroots(false), 0.0);                           // degree 1
    EXPECT_NEAR(circle(24, 12, 5.0).getperiod_charroots(true), 12, 1e-3);
    for (int n : {24, 400})
        for (double period : {2.5, 30.0}) {
            const matrix m = orthonormal_circle(n, period);
            const double roots = m.getperiod_charroots(false);
            EXPECT_NEAR(roots, period, 1e-6 * period) << n << " " << period;
            EXPECT_NEAR(m.getperiod_shift(false), roots, 1e-6 * roots) << n << " " << period;
            EXPECT_NEAR(circle(n, period, 4.0, -1).getperiod_shift(true), period, 1e-6 * period) << n << " " << period;
        }
    diag.str("");
    EXPECT_NEAR(circle(1001, 12, 1 / std::sqrt(500.5)).getperiod_charroots(false), 12, 1e-9);
    EXPECT_NEAR(circle(1001, 30, 7.0).getperiod_charroots(true), 30, 1e-9);
    EXPECT_EQ(diag.str().find("v="), std::string::npos);

    // Decaying columns without rotation: M is diagonal with real eigenvalues.
    matrix decay(1200, 2);
    for (int t = 0; t < 1200; ++t) decay.set(std::pow(0.99, t), t, 0), decay.set(std::pow(0.95, t), t, 1);
    EXPECT_EQ(decay.getperiod_charroots(false), 0.0);
    for (int t = 0; t < 1200; ++t) decay.set(0.0, t, 1);
    EXPECT_EQ(decay.getperiod_shift(false), 0.0);  // one column alone cannot rotate
}

TEST(Periodogram, CosineOfPeriod8OverSixtyFourPoints) {
    series s(64);
    for (int t = 0; t < 64; ++t) s[t] = 2 + std::cos(2 * M_PI * t / 8);
    EXPECT_DOUBLE_EQ(s.getperiod_periodogr(), 8);
    EXPECT_EQ(series(1).getperiod_periodogr(), -1.0);  // no frequency scanned
}
