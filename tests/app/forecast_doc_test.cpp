#include <gtest/gtest.h>

#include <cmath>

#include "app/forecast_doc.h"
#include "app_series.h"
#include "core/ssa_exception.h"
#include "../model/test_util.h"

namespace {

const t_ts trend_and_harmonic = sampled(100, [](int t) { return 10 + 0.2 * t + 3 * std::cos(2 * M_PI * t / 12); });
// No trend at omega 0.08 and one harmonic pair.
const t_ts fast_harmonic = sampled(100, [](int t) { return std::cos(2 * M_PI * 0.3 * t); });

struct doc_case {
    doc_case(const t_ts& ts, int L, int points, bool trend = true, bool harmonics = true) {
        doc.set_ts(ts);
        auto& p = doc.params();
        p.forecast_L = L; p.forecast_points = points;
        p.forecast_trend = trend; p.forecast_harmonics = harmonics;
    }
    t_signal_invest& signal() { return *doc.get_forecast()->get_signal_invest(); }
    CForeInvestDoc doc;
};

}  // namespace

TEST(ForeInvestDoc, HeaderNamesTheWindowThresholdsAndSignal) {
    doc_case c(trend_and_harmonic, 24, 5);
    c.doc.compute_forecast();
    const std::string header = c.doc.header_text(), roots = "signal components: 1, 2, 3, 4; largest root modulus ";
    ASSERT_NE(header.find("HARM: F(1), rho(0.65) on eigenvectors, " + roots), std::string::npos) << header;
    // 1 for the linear trend and the harmonic.
    EXPECT_NEAR(leading_number(header.substr(header.find(roots) + roots.size())), 1, 1e-6);
}

// No signal component forecasts zeros; neither part, or no point to forecast, computes nothing.
TEST(ForeInvestDoc, TrendAndHarmonicChoicesSwitchThePartsAndNoSignalForecastsZeros) {
    doc_case c(fast_harmonic, 20, 15, true, false);
    c.doc.params().trend_omega = 0.075;
    c.doc.params().trend_C = 0.25;
    c.doc.compute_forecast();
    EXPECT_EQ(c.doc.header_text(),
              "N=100, L=20, K=81, #C=20, TREND: LowFreq(omega=0.075,C=0.25) on eigenvectors, no signal components found.");
    const t_ts& f = c.doc.get_forecast()->get_forecast_ts();
    ASSERT_EQ(f.size(), 115);
    for (int t = 0; t < 115; ++t) EXPECT_EQ(f[t], 0) << t;
    doc_case harmonics(trend_and_harmonic, 24, 5, false, true);
    harmonics.doc.compute_forecast();
    EXPECT_EQ(harmonics.signal().get_signal_components(), (std::vector<int>{1, 2, 3}));
    doc_case neither(trend_and_harmonic, 24, 5, false, false), no_points(trend_and_harmonic, 24, 0);
    EXPECT_THROW(neither.doc.compute_forecast(), SSA_math_exception::invest_exception);
    EXPECT_THROW(no_points.doc.compute_forecast(), SSA_math_exception::forecast_exception);
    EXPECT_EQ(no_points.signal().get_svd(), nullptr);
}

// A document computed again, after a change or none, shows what a fresh one shows.
TEST(Rerun, ForecastWithTheTrendThresholdAndWindowChanged) {
    doc_case rerun(noisy_mix(), 24, 5), fresh(noisy_mix(), 30, 5);
    rerun.doc.params().trend_C = 0.01;
    rerun.doc.compute_forecast();
    rerun.doc.params().trend_C = fresh.doc.params().trend_C = 0.9;
    rerun.doc.params().forecast_L = 30;
    rerun.doc.compute_forecast();
    fresh.doc.compute_forecast();
    EXPECT_EQ(rerun.doc.header_text(), fresh.doc.header_text());
    const t_ts &a = rerun.doc.get_forecast()->get_forecast_ts(), &b = fresh.doc.get_forecast()->get_forecast_ts();
    ASSERT_EQ(a.size(), b.size());
    for (int t = 0; t < a.size(); ++t) EXPECT_EQ(a[t], b[t]) << t;
}

TEST(Rerun, SummationWithMoreReconstructedComponents) {
    auto rerun = run_summation(noisy_mix(), 30, vk_reconstructed, 10);
    rerun->get_investigation().set_amount(24);
    rerun->compute_tables();
    EXPECT_EQ(rerun->get_row_texts(), run_summation(noisy_mix(), 30, vk_reconstructed, 24)->get_row_texts());
}
