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
    series s(300);
    for (int t = 0; t < 300; ++t)
        s[t] = 10 * std::cos(2 * M_PI * t / 12.5) + 6 * std::cos(2 * M_PI * t / 6.1 + 1) + 3 * std::cos(2 * M_PI * t / 9 + 2);
    return t_ts(s);
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
    EXPECT_FALSE(period_or_harmonic_in_range(6.6, r));
    EXPECT_TRUE(period_or_harmonic_in_range(1.9, r));   // k = 6
    EXPECT_FALSE(period_or_harmonic_in_range(1.7, r));  // k = 7 would hold it; trunc(13 / 2.0) = 6
    EXPECT_TRUE(period_in_range(12.5, r));
    EXPECT_FALSE(period_in_range(13.0, r));
    EXPECT_FALSE(period_in_range(6.1, r));
}

TEST_F(period_case, EachAimKeepsItsPeriods) {
    const pairs_t expected[] = {{{0, 1}, {2, 3}, {4, 5}}, {{0, 1}, {2, 3}}, {{0, 1}}};
    for (int aim = 0; aim <= 2; ++aim) {
        inv.set_aim(aim);
        inv.investigate();
        EXPECT_EQ(inv.get_pairs(), expected[aim]) << aim;
    }
    EXPECT_EQ(inv.get_components(), (std::vector<int>{0, 1}));
    EXPECT_EQ(*inv.get_result().ticks(), *inv.get_ts()->ticks());
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
    ASSERT_NE(inv.get_constraint(), &at_rho);  // the investigation keeps a copy
    inv.investigate();
    EXPECT_EQ(inv.get_pairs(), (pairs_t{{0, 1}}));
    inv.set_constraint(&below);
    inv.investigate();
    EXPECT_EQ(inv.get_pairs(), (pairs_t{{0, 1}, {4, 5}}));

    const t_prd_constraint other;
    inv.set_constraint(&other);
    EXPECT_EQ(inv.get_constraint(), nullptr);

    const t_VYG_constraint strict(0.9);
    inv.set_constraint(&strict);
    inv.investigate();
    EXPECT_NE(slurp(inv.get_log().file_name())
                  .find("\n\n\n\n*** VYG constraint param = 0.9 ***\n"
                        "    to identify a pair of components as \"harmonic\" pair,\n"
                        "    its 'rhomax' value should be greater than this param value\n\n"
                        "rhomax for (1,2) = 0.999501\n"
                        "* Pair of components (1,2) identified as \"harmonic\" pair\n\n"
                        "rhomax for (3,4) = 0.828618\n"
                        "rhomax for (5,6) = "),
              std::string::npos);
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
    const std::string in_find = "inside t_period_invest::find_harmonics_with_period_from_interval(...)";
    inv.set_aim(3);
    EXPECT_EQ(thrown<ssa_exception>([&] { inv.investigate(); }), "Invalid period investigation aim");
    inv.set_aim(0);
    inv.set_pairing(1);
    EXPECT_EQ(thrown<unrealized>([&] { inv.investigate(); }), "identification by CharRoots inside class 'matrix'");
    inv.set_pairing(2);
    EXPECT_EQ(thrown<unknown_identification_method>([&] { inv.investigate(); }), in_find);
    inv.set_pairing(0);
    inv.set_estimation(3);
    EXPECT_EQ(thrown<ssa_exception>([&] { inv.estimate_period(0, 1); }),
              "unknown period estimation method inside 't_period_invest::estimate_period(...)'");
    for (double bad : {0.0, 1.0})
        EXPECT_EQ(thrown<ssa_exception>([&] { t_VYG_constraint{bad}; }), "invalid param for VYG constraint");

    inv.set_treatedvectors(static_cast<vector_kind>(5));
    EXPECT_EQ(thrown<unknown_objects_for_identification>([&] { inv.investigate(); }), in_find);
    EXPECT_EQ(thrown<unknown_objects_for_identification>([&] { inv.estimate_period(0, 1); }),
              "inside t_period_invest::estimate_period(...)");
    EXPECT_EQ(thrown<unknown_objects_for_identification>([&] { inv.rhomax(0, 1); }),
              "inside 't_VYG_constraint::rhomax(...)'");
}

// What validate() lets through, the investigation accepts: the user's initial
// values pass, and the VYG threshold the constraint refuses is refused first.
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
