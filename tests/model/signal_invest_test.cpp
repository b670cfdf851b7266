#include <gtest/gtest.h>

#include "invest/signal_invest.h"
#include "test_util.h"

namespace {

using pairs_t = std::vector<Pair::t_pair<int>>;

// As the forecast runs it: every component of the decomposition.
void investigate_all(t_signal_invest& inv, int L) {
    inv.set_amount(L);
    inv.set_L(L);
    inv.investigate();
}

// Every component is in the signal: one counted twice would part the signal from the series.
void expect_signal_is_the_series(t_signal_invest& inv) {
    const t_ts& ts = *inv.get_ts();
    ASSERT_EQ(inv.get_signal().size(), ts.size());
    for (int t = 0; t < ts.size(); ++t) EXPECT_NEAR(inv.get_signal()[t], ts[t], 1e-9) << t;
}

}  // namespace

TEST(SignalInvest, ATrendComponentInAHarmonicPairCountsOnce) {
    // Rank 4: a linear trend (components 0 and 3) and a harmonic of period 12.
    t_signal_invest inv(sampled(100, [](int t) { return 10 + 0.2 * t + 3 * std::cos(2 * M_PI * t / 12); }));
    investigate_all(inv, 24);
    EXPECT_EQ(inv.get_trend_part().get_components(), (std::vector<int>{0, 3}));
    EXPECT_EQ(inv.get_harm_part().get_pairs(), (pairs_t{{1, 2}, {2, 3}}));
    EXPECT_EQ(inv.get_signal_components(), (std::vector<int>{0, 1, 2, 3}));
    expect_signal_is_the_series(inv);
}

TEST(SignalInvest, PeriodTwoSinglesFoundBeforeTheirPairsCountOnce) {
    // (-1)^t and a harmonic one bin below 1/2: each component is a period-2 single listed before its pair.
    auto alternating = [](int L, double a) {
        return sampled(200, [=](int t) { return a * (t % 2 ? -1 : 1) + std::cos(2 * M_PI * (0.5 - 1.0 / L) * t); });
    };
    t_signal_invest chained(alternating(40, 1));
    investigate_all(chained, 40);
    EXPECT_EQ(chained.get_harm_part().get_pairs(), (pairs_t{{0, 0}, {1, 1}, {0, 1}, {2, 2}, {1, 2}}));
    EXPECT_EQ(chained.get_signal_components(), (std::vector<int>{0, 1, 2}));
    expect_signal_is_the_series(chained);

    t_signal_invest single(alternating(10, 0.3));
    single.set_use_trend(false);
    investigate_all(single, 10);
    EXPECT_EQ(single.get_harm_part().get_pairs(), (pairs_t{{2, 2}, {1, 2}}));
    EXPECT_EQ(single.get_signal_components(), (std::vector<int>{1, 2}));
    const series expected = single.get_svd()->reconstruct_values({1, 2});
    for (int t = 0; t < 200; ++t) EXPECT_EQ(single.get_signal()[t], expected[t]) << t;
}
