// The investigations on a truncated decomposition against the full one
// restricted to the same leading components.
#include <gtest/gtest.h>

#include "decomp/reconstructed.h"
#include "invest/forecast.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"
#include "test_util.h"

namespace {

// Residuals of 1e-10 lambda_1 leave near-equal eigenvalues' vectors about 1e-6 apart (co2).
constexpr double agreement = 1e-5;

SVD::svd_options truncated(int k) { return SVD::svd_options(svd_solver::truncated, k); }

// Within relative times the largest |a(t)| (at least 1).
void expect_near_series(const series& a, const series& b, double relative, const std::string& what) {
    ASSERT_EQ(a.size(), b.size()) << what;
    double peak = 1;
    for (int t = 0; t < a.size(); ++t) peak = std::max(peak, std::fabs(a(t)));
    for (int t = 0; t < a.size(); ++t) ASSERT_NEAR(a(t), b(t), relative * peak) << what << " at " << t;
}

// What the trend and period (VYG) investigations find among the first k components.
struct findings {
    std::vector<int> trend;
    series trend_result;
    std::vector<Pair::t_pair<int>> pairs;
    std::vector<double> periods;
};

findings investigate(const t_ts& ts, const SVD::t_svd& svd, int k) {
    findings f;
    t_trend_invest trend(ts);
    trend.set_svd(svd), trend.set_amount(k), trend.investigate();
    f.trend = trend.get_components();
    f.trend_result = trend.get_result().values();

    t_period_invest period(ts);
    const t_VYG_constraint vyg(0.8);
    period.set_svd(svd), period.set_amount(k), period.set_constraint(&vyg), period.investigate();
    f.pairs = period.get_pairs();
    for (const auto& p : f.pairs) f.periods.push_back(p.first == p.second ? 2.0 : period.estimate_period(p.first, p.second));
    return f;
}

void expect_same_findings(const findings& full, const findings& cut, const std::string& what) {
    EXPECT_EQ(full.trend, cut.trend) << what;
    expect_near_series(full.trend_result, cut.trend_result, agreement, what + " trend");
    ASSERT_EQ(full.pairs.size(), cut.pairs.size()) << what;
    for (size_t i = 0; i < full.pairs.size(); ++i) {
        EXPECT_EQ(full.pairs[i], cut.pairs[i]) << what << " pair " << i;
        EXPECT_NEAR(full.periods[i], cut.periods[i], agreement * full.periods[i]) << what << " pair " << i;
    }
}

}  // namespace

// The long series is the one full decomposition of N = 5000 in this binary, and automatic takes the truncated path.
TEST(TruncatedInvest, TrendAndPeriodFindTheFullPathsFindingsAmongTheFirstK) {
    struct { const char* name; t_ts ts; int L, k; } cases[] = {
        {"co2.dat", data_series("co2.dat"), 120, 24}, {"N = 5000", trend_harmonics_noise(5000), 2500, 50}};
    for (const auto& c : cases) {
        const SVD::t_svd cut(c.ts, c.L, c.k == 50 ? SVD::svd_options(svd_solver::automatic, 50) : truncated(c.k));
        ASSERT_TRUE(cut.truncated()) << c.name;
        const findings f = investigate(c.ts, SVD::t_svd(c.ts, c.L), c.k);
        EXPECT_FALSE(f.trend.empty() && f.pairs.empty()) << c.name << ": nothing found, nothing compared";
        EXPECT_GE(f.pairs.size(), c.k == 50 ? 2u : 0u);  // the long series' two harmonics
        expect_same_findings(f, investigate(c.ts, cut, c.k), c.name);
    }
}

TEST(TruncatedInvest, ForecastOfTheFirstKMatchesTheFullPath) {
    constexpr int L = 120, k = 24, points = 24;
    const t_ts ts = data_series("co2.dat");
    t_RSSA_signal_forecast full(ts), cut(ts);
    for (t_RSSA_signal_forecast* f : {&full, &cut}) f->set_window(L), f->set_points(points), f->set_amount(k);
    cut.get_signal_invest()->set_svd_options(truncated(k));
    full.make_forecast();
    cut.make_forecast();
    ASSERT_TRUE(cut.get_signal_invest()->get_svd()->truncated());
    EXPECT_EQ(full.get_signal_invest()->get_signal_components(), cut.get_signal_invest()->get_signal_components());
    // The coefficients are ill-conditioned; the continuation is not.
    expect_near_series(full.get_forecast_ts().values(), cut.get_forecast_ts().values(), agreement, "forecast");
    // A second run re-decomposes: the old truncated decomposition must not refuse the new amount.
    cut.get_signal_invest()->set_svd_options({});
    cut.set_amount(0);
    cut.set_window(60);
    EXPECT_NO_THROW(cut.make_forecast());
    EXPECT_EQ(cut.get_signal_invest()->get_amount(), 60);
}

TEST(TruncatedInvest, AComponentBeyondKIsRefused) {
    const t_ts ts = data_series("co2.dat");
    const SVD::t_svd svd(ts, 120, truncated(10));
    const std::string limit = "10 components this truncated decomposition holds";
    t_trend_invest trend(ts);
    trend.set_svd(svd);
    t_RSSA_signal_forecast forecast(ts);
    forecast.get_signal_invest()->set_svd_options(truncated(10));
    forecast.set_window(120);
    forecast.set_points(1);
    forecast.set_amount(11);
    const std::vector<std::pair<std::function<void()>, std::string>> refusals = {
        {[&] { trend.set_amount(11); }, limit},
        {[&] { t_reconstructed_tss(&svd, 11); }, "component 11 is beyond the 10 eigentriples"},
        {[&] { forecast.make_forecast(); }, "amount 11 is above the " + limit},
    };
    for (size_t i = 0; i < refusals.size(); ++i)
        EXPECT_NE(thrown(refusals[i].first).find(refusals[i].second), std::string::npos) << i;
    EXPECT_NO_THROW(trend.set_amount(10));
}
