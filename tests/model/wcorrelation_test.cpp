#include <gtest/gtest.h>

#include <stdexcept>

#include "core/hooks.h"
#include "decomp/wcorrelation.h"
#include "test_util.h"

namespace {

const double pi = std::acos(-1.0);

// The weight counted as the trajectory matrix's elements that hold value t.
int counted_weight(int t, int L, int N) {
    int n = 0;
    for (int i = 0; i < L; ++i)
        for (int j = 0; j < N - L + 1; ++j) n += i + j == t;
    return n;
}

}  // namespace

TEST(WCorrelation, EqualsTheDirectDoubleLoop) {
    const int N = 25;
    const t_ts ts(with_noise(N, 7, 1, [](int t) { return 5 + 0.2 * t + 3 * std::sin(2 * pi * t / 6); }));
    for (int L : {3, 17}) {
        SCOPED_TRACE("L=" + std::to_string(L));
        const SVD::t_svd svd(ts, L);
        const int m = std::min(svd.count(), 6);
        const t_reconstructed_tss rec(&svd, m);
        const matrix rho = wcorrelation(rec, L, m);
        for (int i = 0; i < m; ++i)
            for (int j = 0; j < m; ++j) {
                double ij = 0, ii = 0, jj = 0;
                for (int t = 0; t < N; ++t) {
                    const double w = counted_weight(t, L, N);
                    ij += w * rec.value(i, t) * rec.value(j, t);
                    ii += w * rec.value(i, t) * rec.value(i, t);
                    jj += w * rec.value(j, t) * rec.value(j, t);
                }
                EXPECT_NEAR(rho(i, j), ij / std::sqrt(ii * jj), 1e-12) << i << "," << j;
            }
    }
}

TEST(WCorrelation, RefusesWhatTheReconstructionLacksAndCancels) {
    const SVD::t_svd svd(sampled(30, [](int t) { return std::cos(0.7 * t) + 0.01 * t * t; }), 10);
    const t_reconstructed_tss rec(&svd, 3);
    EXPECT_NE(thrown([&] { wcorrelation(rec, 10, 4); }), "nothing thrown");
    EXPECT_NE(thrown([&] { wcorrelation(rec, 0, 3); }), "nothing thrown");

    struct cancelled {};
    const scoped_progress_hook stop([](const char*, long long done, long long) { if (done > 0) throw cancelled{}; }, false);
    EXPECT_THROW(wcorrelation(rec, 10, 3), cancelled);
}
