#include <gtest/gtest.h>

#include "app/smoothing.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

const char* const smoothed = "The reconstructed series was smoothed completely.";
const char* const unsmoothed = "The reconstructed series was unsmoothed completely\nor has not been smoothed.";

}  // namespace

TEST(Smoothing, TrendThrowsTheLastComponentAndTakesItBack) {
    t_trend_invest inv(noisy_mix());
    inv.set_L(30);
    inv.get_components() = {0, 1, 3};
    trend_smoothing history;
    scripted_app_ui ui;
    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_EQ(inv.get_result()[9], inv.get_svd()->reconstruct_values({0, 1})[9]);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_FALSE(history.smooth(inv, ui));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(history.unsmooth(inv, ui));
    EXPECT_FALSE(history.unsmooth(inv, ui));
    EXPECT_EQ(inv.get_components(), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(inv.get_result()[9], inv.get_svd()->reconstruct_values({0, 1, 3})[9]);
    EXPECT_EQ(ui.messages, (std::vector<std::string>{smoothed, unsmoothed}));
}

TEST(Smoothing, PeriodThrowsTheLastPair) {
    t_period_invest inv(noisy_mix());
    inv.set_L(30);
    inv.get_pairs() = {{1, 2}, {3, 3}, {5, 6}};
    period_smoothing history;
    scripted_app_ui ui;
    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_EQ(inv.get_result()[9], inv.get_svd()->reconstruct_values({1, 2, 3})[9]);
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_FALSE(history.smooth(inv, ui));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(history.unsmooth(inv, ui));
    EXPECT_TRUE(inv.get_pairs()[1] == Pair::t_pair<int>(3, 3) && inv.get_pairs()[2] == Pair::t_pair<int>(5, 6));
    EXPECT_EQ(ui.messages, std::vector<std::string>{smoothed});
}
