#include <gtest/gtest.h>

#include "app/smoothing.h"
#include "app_series.h"
#include "fake_app_ui.h"

namespace {

const char* const smoothed = "The reconstructed series was smoothed completely.";
const char* const unsmoothed = "The reconstructed series was unsmoothed completely\nor has not been smoothed.";

void expect_result_of(t_results& inv, const SVD::t_svd& svd, const std::vector<int>& components) {
    const series expected = svd.reconstruct_values(components);
    ASSERT_EQ(inv.get_result().size(), expected.size());
    for (int t = 0; t < expected.size(); ++t) EXPECT_EQ(inv.get_result()[t], expected[t]) << t;
}

}  // namespace

TEST(Smoothing, TrendThrowsTheLastComponentAndTakesItBack) {
    t_trend_invest inv(noisy_mix());
    inv.set_L(30);
    inv.get_components() = {0, 1, 3};
    trend_smoothing history;
    scripted_app_ui ui;

    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_EQ(inv.get_components(), (std::vector<int>{0, 1}));
    expect_result_of(inv, *inv.get_svd(), {0, 1});
    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_EQ(history.thrown_components, (std::vector<int>{3, 1}));
    EXPECT_TRUE(history.unsmooth(inv, ui));
    EXPECT_EQ(inv.get_components(), (std::vector<int>{0, 1}));

    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_TRUE(inv.get_components().empty());
    EXPECT_FALSE(history.smooth(inv, ui));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(history.unsmooth(inv, ui));
    EXPECT_FALSE(history.unsmooth(inv, ui));
    EXPECT_EQ(inv.get_components(), (std::vector<int>{0, 1, 3}));
    expect_result_of(inv, *inv.get_svd(), {0, 1, 3});
    EXPECT_EQ(ui.messages, (std::vector<std::string>{smoothed, unsmoothed}));
}

TEST(Smoothing, PeriodThrowsTheLastPair) {
    t_period_invest inv(noisy_mix());
    inv.set_L(30);
    inv.get_pairs() = {{1, 2}, {3, 3}, {5, 6}};
    period_smoothing history;
    scripted_app_ui ui;

    EXPECT_FALSE(history.unsmooth(inv, ui));
    EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_EQ(inv.get_components(), (std::vector<int>{1, 2, 3}));
    expect_result_of(inv, *inv.get_svd(), {1, 2, 3});
    for (int i = 0; i < 2; ++i) EXPECT_TRUE(history.smooth(inv, ui));
    EXPECT_FALSE(history.smooth(inv, ui));
    EXPECT_TRUE(inv.get_components().empty());
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(history.unsmooth(inv, ui));
    ASSERT_EQ(inv.get_pairs().size(), 3u);
    EXPECT_TRUE(inv.get_pairs()[1] == Pair::t_pair<int>(3, 3));
    EXPECT_TRUE(inv.get_pairs()[2] == Pair::t_pair<int>(5, 6));
    EXPECT_TRUE(history.thrown_pairs.empty());
    expect_result_of(inv, *inv.get_svd(), {1, 2, 3, 5, 6});
    EXPECT_EQ(ui.messages, (std::vector<std::string>{unsmoothed, smoothed}));
}
