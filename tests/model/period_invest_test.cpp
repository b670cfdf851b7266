#include <gtest/gtest.h>

#include <sstream>

#include "core/diagnostics.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"
#include "test_util.h"

namespace {

using pairs_t = std::vector<Pair::t_pair<int>>;

// Harmonics of periods 12.5, 6.1 and 9: components (0,1), (2,3), (4,5) for L = 100.
t_ts harmonics() {
    return sampled(300, [](int t) {
        return 10 * std::cos(2 * M_PI * t / 12.5) + 6 * std::cos(2 * M_PI * t / 6.1 + 1) + 3 * std::cos(2 * M_PI * t / 9 + 2);
    });
}

struct period_case : testing::Test {
    period_case() : inv(harmonics()) {
        inv.set_L(100);
        inv.set_estimation(0);
        inv.set_period_range({11, 13});
        inv.set_approx_mode(0);
    }
    t_period_invest inv;
    std::ostringstream diag;
    scoped_diagnostic_stream to{diag};
};

}  // namespace

TEST(PeriodRules, HarmonicsOfTheRangeAndTheRangeItself) {
    const Pair::t_pair<double> r(11, 13);
    EXPECT_TRUE(period_or_harmonic_in_range(6.1, r));   // k = 2: (5.5, 6.5)
    EXPECT_FALSE(period_or_harmonic_in_range(1.7, r));  // k = 7 would hold it; trunc(13 / 2.0) = 6
    EXPECT_FALSE(period_in_range(13.0, r));
}

TEST_F(period_case, EachAimKeepsItsPeriods) {
    const pairs_t expected[] = {{{0, 1}, {2, 3}, {4, 5}}, {{0, 1}, {2, 3}}, {{0, 1}}};
    for (int aim = 0; aim <= 2; ++aim) {
        inv.set_aim(aim);
        inv.investigate();
        EXPECT_EQ(inv.get_pairs(), expected[aim]) << aim;
    }
    EXPECT_EQ(inv.get_components(), (std::vector<int>{0, 1}));
}

TEST_F(period_case, PercentFilterIsStrictAndTheCountLimitKeepsHalfTheComponents) {
    inv.min_percent = 100 * inv.get_svd()->triple(3).contribution;
    inv.investigate();
    EXPECT_EQ(inv.get_pairs(), (pairs_t{{0, 1}}));

    inv.set_approx_mode(1);  // min_percent no longer applies
    for (auto [limit, kept] : std::vector<std::pair<int, int>>{{5, 2}, {-1, 3}, {1, 0}}) {
        inv.max_components = limit;
        inv.investigate();
        EXPECT_EQ(inv.get_pairs().size(), static_cast<size_t>(kept)) << limit;
    }
}

TEST_F(period_case, VygDropsPairsAtOrBelowItsParam) {
    // rho is about 0.9995 for (0,1), 0.83 for (2,3) and 0.97 for (4,5).
    const double rho = inv.rhomax(4, 5);
    ASSERT_GT(rho, 0.9);
    const t_VYG_constraint at_rho(rho), below(std::nextafter(rho, 0.0));
    inv.set_constraint(&at_rho);
    inv.investigate();
    EXPECT_EQ(inv.get_pairs(), (pairs_t{{0, 1}}));
    inv.set_constraint(&below);
    inv.investigate();
    EXPECT_EQ(inv.get_pairs(), (pairs_t{{0, 1}, {4, 5}}));

    const t_VYG_constraint strict(0.9);
    inv.set_constraint(&strict);
    inv.investigate();
    const std::string log = slurp(inv.get_log().file_name());
    EXPECT_NE(log.find("\n* Pair of components (1,2) identified as \"harmonic\" pair\n"), std::string::npos);
    EXPECT_EQ(log.find("(3,4) identified"), std::string::npos);
}

TEST_F(period_case, ResultReconstructsEveryComponentOnceInTheOrderFirstMet) {
    inv.investigate();
    inv.get_pairs() = {{4, 4}, {3, 4}, {0, 1}, {0, 1}};
    inv.make_result(*inv.get_svd());
    EXPECT_EQ(inv.get_components(), (std::vector<int>{4, 3, 0, 1}));
    const series once = inv.get_svd()->reconstruct_values({0, 1, 3, 4});
    for (int t = 0; t < 300; ++t) EXPECT_NEAR(inv.get_result()[t], once[t], 1e-9);
}

TEST_F(period_case, ReconstructedComponentsAreNormalisedForTheEstimates) {
    inv.set_treatedvectors(vk_reconstructed);
    inv.set_aim(2);
    inv.investigate();
    EXPECT_EQ(inv.get_pairs(), (pairs_t{{0, 1}}));
    // Phi and Charroots see an ellipse here, not a circle: near, not exact.
    for (int estimation : {0, 1, 2}) {
        inv.set_estimation(estimation);
        EXPECT_NEAR(inv.estimate_period(0, 1), 12.5, estimation == 2 ? 1e-9 : 0.2) << estimation;
    }
}

TEST_F(period_case, ExceptionTexts) {
    using namespace SSA_math_exception;
    inv.set_aim(3);
    EXPECT_EQ(thrown<ssa_exception>([&] { inv.investigate(); }), "Invalid period investigation aim");
    inv.set_aim(0);
    inv.set_pairing(1);
    EXPECT_EQ(thrown<unrealized>([&] { inv.investigate(); }), "identification by CharRoots inside class 'matrix'");
    inv.set_pairing(0);
    inv.set_estimation(3);
    EXPECT_EQ(thrown<ssa_exception>([&] { inv.estimate_period(0, 1); }),
              "unknown period estimation method inside 't_period_invest::estimate_period(...)'");
    inv.set_treatedvectors(static_cast<vector_kind>(5));
    EXPECT_EQ(thrown<unknown_objects_for_identification>([&] { inv.investigate(); }),
              "inside t_period_invest::find_harmonics_with_period_from_interval(...)");
}

// validate() refuses first what the investigation would refuse.
TEST(Params, InitialValuesPassAndARefusalNamesItsParameter) {
    EXPECT_EQ(period_params{}.validate(), std::nullopt);
    EXPECT_EQ(trend_params{}.validate(), std::nullopt);
    for (double rho : {0.0, 1.0}) {
        period_params p;
        p.vyg_rhomax = rho;
        const std::optional<param_refusal> r = p.validate();
        ASSERT_TRUE(r);
        EXPECT_EQ(r->name, "vyg");
        t_period_invest inv(sample_series(40));
        EXPECT_THROW(p.apply(inv), SSA_math_exception::ssa_exception) << rho;
        p.vyg_on = false;
        EXPECT_EQ(p.validate(), std::nullopt) << "no constraint, no threshold to check";
    }
    trend_params t;
    t.lowfreq_omega = std::nan("");
    EXPECT_EQ(t.validate()->text, "nan is outside [0, 0.5]");
}
