#include <gtest/gtest.h>

#include "app/smoothing.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

const char* const smoothed = "The reconstructed series was smoothed completely.";
const char* const unsmoothed = "The reconstructed series was unsmoothed completely\nor has not been smoothed.";

}  // namespace

// Smooth drops the last of three, three times, then refuses; unsmooth takes them back in order.
template <class History, class Invest>
std::vector<std::string> smooth_and_back(Invest& inv, const std::vector<int>& after_one) {
    History history;
    scripted_app_ui ui;
    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_EQ(inv.get_result()[9], inv.get_svd()->reconstruct_values(after_one)[9]);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_FALSE(history.smooth(inv, ui));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(history.unsmooth(inv, ui));
    EXPECT_FALSE(history.unsmooth(inv, ui));
    return ui.messages;
}

TEST(Smoothing, TrendComponentsAndPeriodPairsComeBackInOrder) {
    t_trend_invest trend(noisy_mix());
    trend.set_L(30);
    trend.get_components() = {0, 1, 3};
    EXPECT_EQ((smooth_and_back<trend_smoothing>(trend, {0, 1})), (std::vector<std::string>{smoothed, unsmoothed}));
    EXPECT_EQ(trend.get_components(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(trend.get_result()[9], trend.get_svd()->reconstruct_values({0, 1, 3})[9]);
    t_period_invest period(noisy_mix());
    period.set_L(30);
    period.get_pairs() = {{1, 2}, {3, 3}, {5, 6}};
    smooth_and_back<period_smoothing>(period, {1, 2, 3});
    EXPECT_TRUE(period.get_pairs()[1] == Pair::t_pair<int>(3, 3) && period.get_pairs()[2] == Pair::t_pair<int>(5, 6));
}
