#include <gtest/gtest.h>

#include <sstream>

#include "core/hooks.h"
#include "invest/forecast.h"
#include "test_util.h"

namespace {

double wave(int t) { return 2 * std::sin(2 * M_PI * t / 12) + 0.05 * t; }

std::unique_ptr<t_RSSA_signal_forecast> made(const t_ts& ts, int L, int points) {
    auto f = std::make_unique<t_RSSA_signal_forecast>(ts);
    f->set_window(L), f->set_points(points), f->set_method(forecast_method::recurrent);
    f->make_forecast();
    return f;
}

struct cancelled {};

}  // namespace

TEST(ForecastIntervals, TheBandCoversNinetyFivePercentOfTheFuture) {
    const int N = 160, L = 40, M = 12, runs = 50;
    const std::vector<int> signal = {0, 1, 2, 3};
    for (const forecast_method method : {forecast_method::recurrent, forecast_method::vector}) {
        int covered = 0;
        for (int run = 0; run < runs; ++run) {
            const std::vector<double> all = with_noise(N + M, 1000 + run, 1.0, wave);
            const std::vector<double> observed(all.begin(), all.begin() + N);
            const SVD::t_svd svd(t_ts(observed), L);
            series lower, upper;
            bootstrap_intervals(series(observed), svd.reconstruct_values(signal), signal, svd.eigenvectors(), method, M,
                                0.95, 100, lower, upper);
            for (int j = 0; j < M; ++j) covered += lower[j] <= all[N + j] && all[N + j] <= upper[j];
        }
        EXPECT_NEAR(static_cast<double>(covered) / (runs * M), 0.945, 0.045) << static_cast<int>(method);
    }
}

TEST(ForecastIntervals, RerunsAgreeBitForBit) {
    const auto f = made(trend_harmonics_noise(150), 40, 10);
    f->make_intervals(0.8, 30);
    const series lower = f->get_lower(), upper = f->get_upper();
    ASSERT_EQ(lower.size(), 10);
    f->make_intervals(0.8, 30);
    for (int j = 0; j < 10; ++j) EXPECT_TRUE(f->get_lower()[j] == lower[j] && f->get_upper()[j] == upper[j]) << j;
    // A narrower level gives a band inside the wider one: the same replicates.
    f->make_intervals(0.5, 30);
    for (int j = 0; j < 10; ++j) EXPECT_TRUE(f->get_lower()[j] >= lower[j] && f->get_upper()[j] <= upper[j]) << j;
}

TEST(ForecastIntervals, AThrowingHookCancelsLeavingNoBoundsAndTheHookRestored) {
    const auto f = made(trend_harmonics_noise(150), 40, 10);
    f->make_intervals(0.9, 20);
    int calls = 0;
    scoped_progress_hook hook([&](const char*, long long done, long long) { if (++calls, done >= 3) throw cancelled{}; }, false);
    EXPECT_THROW(f->make_intervals(0.9, 20), cancelled);
    EXPECT_EQ(f->get_lower().size() + f->get_upper().size(), 0);
    const int before = calls;
    EXPECT_THROW(report_progress("other", 5, 5), cancelled) << "the caller's hook is back";
    EXPECT_EQ(calls, before + 1);
}

TEST(ForecastIntervals, LevelsRepeatsAndMissingForecastsAreRefused) {
    const auto f = made(trend_harmonics_noise(150), 40, 10);
    EXPECT_EQ(thrown([&] { f->make_intervals(NAN, 100); }), "the interval level nan is outside (0, 1)");
    EXPECT_EQ(thrown([&] { f->make_intervals(0.9, 9); }), "9 bootstrap replicates: take 10 to 100000");
    t_RSSA_signal_forecast none(trend_harmonics_noise(150));
    EXPECT_EQ(thrown([&] { none.make_intervals(0.9, 100); }), "no forecast to give intervals for");
}

// Each replicate's solver finds the signal's eigenvectors as the full path does.
TEST(ForecastIntervals, TheReplicatesSolverGivesTheFullPathsForecast) {
    const t_ts ts = trend_harmonics_noise(200);
    const std::vector<int> signal = {0, 1, 2, 3, 4};  // the trend and both pairs
    for (const auto& [L, needed] : std::vector<std::pair<int, int>>{{24, 5}, {60, 5}, {40, 15}}) {  // Jacobi, truncated, LAPACK
        const SVD::t_svd full(ts, L, SVD::svd_options(svd_solver::fast)), cheap(ts, L, bootstrap_options(L, needed));
        for (const forecast_method method : {forecast_method::recurrent, forecast_method::vector}) {
            const auto forecast = [&](const SVD::t_svd& svd) {
                return continue_signal(method, svd.reconstruct_values(signal), 20, signal_lrf(svd.eigenvectors(), signal), svd.eigenvectors(), signal);
            };
            const series a = forecast(full), b = forecast(cheap);
            for (int t = 0; t < a.size(); ++t) EXPECT_NEAR(a(t), b(t), 1e-8 * std::fabs(a(t))) << L << ", t = " << t;
        }
    }
}

TEST(ForecastSeries, SavedLinesCarryTheContinuedMarksAndTheBounds) {
    t_ts ts = sampled(48, wave);
    std::vector<std::string> months;
    for (int k = 0; k < 48; ++k) months.push_back(format_text("%d-%02d", 2020 + k / 12, k % 12 + 1));
    ts.set_ticks(&months), ts.set_has_ticks(true);
    const auto f = made(ts, 12, 3);
    const auto lines = [&] {
        std::ostringstream out;
        write_cts(out, forecast_series(*f, ts, "Forecast of waves"), forecast_bounds(*f));
        std::vector<std::string> l;
        std::istringstream in(out.str());
        for (std::string s; std::getline(in, s);) l.push_back(s);
        return l;
    };
    std::vector<std::string> plain = lines();
    ASSERT_EQ(plain.size(), 52u);
    EXPECT_EQ(plain[51], "2024-03\t" + value_text(f->get_forecast_ts()[50]));

    f->make_intervals(0.9, 10);
    const std::vector<std::string> banded = lines();
    ASSERT_EQ(banded.size(), 52u);
    EXPECT_EQ(banded[48], plain[48]) << "no bounds on the signal's lines";
    EXPECT_EQ(banded[51], plain[51] + "\t" + value_text(f->get_lower()[2]) + "\t" + value_text(f->get_upper()[2]));

    // Without marks of its own the series is numbered on.
    const auto numbered = made(sampled(48, wave), 12, 3);
    const t_ts saved = forecast_series(*numbered, sampled(48, wave), "");
    ASSERT_EQ(saved.size(), 51);
    for (int k = 0; k < 51; ++k) EXPECT_EQ((*saved.ticks())[static_cast<size_t>(k)], std::to_string(k + 1));
}
