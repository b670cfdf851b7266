#include <gtest/gtest.h>

#include <sstream>

#include "core/diagnostics.h"
#include "invest/grouping.h"
#include "test_util.h"

namespace {

const double pi = std::acos(-1.0);

std::string refusal(const std::string& text) {
    return thrown<grouping_error>([&] { parse_component_sets(text); });
}

t_ts trend_and_two_sines(int N) {
    return sampled(N, [](int t) { return 10 + 0.05 * t + 3 * std::sin(2 * pi * t / 12) + 1.5 * std::cos(2 * pi * t / 5 + 0.3); });
}

// w = 1 inside the blocks and on the diagonal, `across` between them.
matrix block_wcor(const std::vector<std::vector<int>>& blocks, int m, double inside, double across) {
    matrix w(m, m);
    for (int i = 0; i < m; ++i)
        for (int j = 0; j < m; ++j) w.set(i == j ? 1.0 : across, i, j);
    for (const auto& b : blocks)
        for (int i : b)
            for (int j : b)
                if (i != j) w.set(inside, i, j);
    return w;
}

}  // namespace

TEST(ComponentSets, ParseNumbersAndRangesAndNameWhatIsWrong) {
    EXPECT_EQ(parse_component_set(" 7 , 4 - 5,1 "), (std::vector<int>{0, 3, 4, 6}));
    EXPECT_EQ(parse_component_sets("1,4:2-3:5-6"), (std::vector<std::vector<int>>{{0, 3}, {1, 2}, {4, 5}}));
    EXPECT_EQ(component_set_text(parse_component_set("2-4,9")), "2-4,9");

    EXPECT_EQ(refusal("1,2:"), "the group lists no component");
    EXPECT_EQ(refusal("-2"), "'-2' is neither a component number nor a range a-b");
    EXPECT_EQ(refusal("0,1"), "components are numbered from 1, not 0");
    EXPECT_EQ(refusal("5-3"), "the range 5-3 runs backwards");
    EXPECT_EQ(refusal("1-3,2"), "component 2 is listed twice");
    EXPECT_EQ(refusal("1,2:2-3"), "component 2 is in both groups \"1,2\" and \"2-3\"");
}

TEST(ComponentClustering, AverageLinkageJoinsBlocksUpToTheThreshold) {
    // Blocks {0,3}, {1,2}, {4}: a proposal must not depend on the components' order.
    const matrix w = block_wcor({{0, 3}, {1, 2}}, 5, -0.9, 0.05);
    EXPECT_EQ(cluster_components(w, 0.5), (std::vector<std::vector<int>>{{0, 3}, {1, 2}, {4}}));
    EXPECT_EQ(cluster_components(w, 0.05), (std::vector<std::vector<int>>{{0}, {1}, {2}, {3}, {4}}));

    // A chain 0-1-2: single linkage would join all three; average gives {0,1} to 2 a distance of 0.55.
    matrix chain = block_wcor({}, 3, 0, 0);
    chain.set(0.9, 0, 1), chain.set(0.9, 1, 0), chain.set(0.9, 1, 2), chain.set(0.9, 2, 1);
    EXPECT_EQ(cluster_components(chain, 0.5), (std::vector<std::vector<int>>{{0, 1}, {2}}));
    EXPECT_EQ(cluster_components(chain, 0.6), (std::vector<std::vector<int>>{{0, 1, 2}}));
}

TEST(ComponentPeriod, RefinedBetweenTheGridPoints) {
    // Off the grid k/L the grid peak is up to half a bin away; the fit finds the sinusoid's own frequency.
    struct case_ { double period, phase; int N, L; };
    for (case_ k : {case_{12, 0.4, 468, 234}, case_{2.5, 0.7, 200, 99}}) {
        const SVD::t_svd svd(sampled(k.N, [&](int t) { return 2 * std::cos(2 * pi * t / k.period + k.phase); }), k.L);
        for (double found : {eigenvector_period(svd, 0), eigenvector_period(svd, 1), pair_period(svd, 0, 1)})
            EXPECT_NEAR(found, k.period, 1e-6 * k.period) << k.period << " at L = " << k.L;
    }

    // An offset, as an eigenvector next to a trend carries, does not pull the peak.
    const auto lifted = values_of(sampled(100, [](int t) { return 0.2 + std::cos(2 * pi * t / 7.3 + 0.2); }));
    EXPECT_NEAR(vectors_periodogram({lifted.data()}, 100).dominant_period(), 7.3, 7.3e-6);

    // No power, or the most at frequency 0: no period.
    const std::vector<double> flat(50, 1.0), zero(50, 0.0);
    for (const auto* v : {&flat, &zero}) EXPECT_EQ(vectors_periodogram({v->data()}, 50).dominant_period(), 0.0);
}

TEST(ComponentPeriod, Co2AnnualPairAtAWindowOffItsGrid) {
    const SVD::t_svd svd(data_series("co2.dat"), 234);
    // The yearly pair follows the trend; the grid alone gives 11.70 for both.
    for (double p : {eigenvector_period(svd, 1), eigenvector_period(svd, 2), pair_period(svd, 1, 2)})
        EXPECT_EQ(period_text(p), "12.00");
}

TEST(GroupReconstruction, ResidualIsTheSeriesMinusEveryGroup) {
    t_ts ts = trend_and_two_sines(120);
    std::vector<std::string> ticks;
    for (int t = 0; t < ts.size(); ++t) ticks.push_back("t" + std::to_string(t));
    ts.set_ticks(&ticks);
    ts.set_has_ticks(true);
    const SVD::t_svd svd(ts, 24);
    EXPECT_EQ(eigenvector_period(svd, 0), 0.0);  // the trend has no period
    std::vector<component_group> groups = {{"first", {0}}, {"annual", {1, 2}}, {"rest", {}}};
    for (int c = 3; c < svd.count(); ++c) groups[2].components.push_back(c);
    const grouped_reconstruction r = reconstruct_groups(ts, svd, groups);
    ASSERT_EQ(r.groups.size(), 3u);
    for (int t = 0; t < ts.size(); ++t) {
        double sum = r.residual[t];
        for (const t_ts& g : r.groups) sum += g[t];
        EXPECT_NEAR(sum, ts[t], 1e-12 * std::fabs(ts[t]));
        EXPECT_NEAR(r.residual[t], 0.0, 1e-6);  // every component in use is in a group
    }
    EXPECT_EQ(*r.residual.ticks(), ticks);
    EXPECT_TRUE(r.groups[0].has_ticks() && r.residual.has_ticks());  // so File Save writes them
    EXPECT_NE(thrown<grouping_error>([&] { reconstruct_groups(ts, svd, {{"g", {svd.count()}}}); }), "nothing thrown");
}
