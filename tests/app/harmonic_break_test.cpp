#include <gtest/gtest.h>

#include "app/harmonic_break.h"
#include "core/number_text.h"
#include "app_series.h"
#include "core/ssa_exception.h"
#include "fake_app_ui.h"

namespace {

// (2, 3) the sine of period 10, (4, 4) the period-2 harmonic.
class HarmonicBreak : public testing::Test {
protected:
    void SetUp() override {
        inv.set_L(30);
        inv.set_estimation(1);
        inv.get_pairs() = {{1, 2}, {3, 3}};
    }
    double percent(int k) const { return 100 * inv.get_svd()->contribution(k); }

    std::vector<std::string> dates;
    t_period_invest inv{with_years(trend_sine_alternating(), dates)};
};

}  // namespace

TEST_F(HarmonicBreak, PairsTitledWithContributionsAndPeriodSingleAtTwo) {
    const harmonic_group g = break_to_harmonics(inv, harmonic_group::style_overlaid);
    EXPECT_EQ(g.description,
              "N=80, L=30, treated vectors=eigenvectors, period est.method=CharRoots. C=contribution, P=period.");
    ASSERT_EQ(g.series.size(), 2u);
    const double P = inv.estimate_period(1, 2);
    EXPECT_NEAR(P, 10, 0.05);
    EXPECT_EQ(g.series[0].title(), format_text("(2,3), C(%.1f%%,%.1f%%), P=%.3f", percent(1), percent(2), P));
    EXPECT_EQ(g.series[1].title(), format_text("(4,4), C(%.1f%%,%.1f%%), P=2.000", percent(3), percent(3)));
    EXPECT_EQ(g.series[1][5], inv.get_svd()->reconstruct_values({3})[5]);
    ASSERT_TRUE(g.series[0].has_ticks());
    EXPECT_EQ(*g.series[0].ticks(), dates);
}

TEST_F(HarmonicBreak, PairsBelowTheMinimalPercentAreLeftOutEqualityKept) {
    inv.get_pairs() = {{0, 3}, {1, 2}};  // component 1 far above, 4 small
    inv.min_percent = percent(3);
    ASSERT_EQ(break_to_harmonics(inv, 1).series.size(), 2u);
    inv.min_percent = std::nextafter(percent(3), 100.0);
    const harmonic_group g = break_to_harmonics(inv, 1);
    ASSERT_EQ(g.series.size(), 1u);
    EXPECT_EQ(g.series[0].title().substr(0, 5), "(2,3)");
}

TEST_F(HarmonicBreak, PeriodogramNeedsReconstructedComponents) {
    inv.set_estimation(3);
    EXPECT_THROW(break_to_harmonics(inv, 1), SSA_math_exception::ssa_exception);
    scripted_app_ui ui;
    EXPECT_TRUE(harmonic_break_accepts(2, vk_reconstructed, ui) && !harmonic_break_accepts(2, vk_factor_vectors, ui));
    EXPECT_EQ(ui.messages.size(), 1u);
}
