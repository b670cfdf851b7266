#include <gtest/gtest.h>

#include <numeric>

#include "invest/forecast.h"
#include "test_util.h"

namespace {

double trend_and_harmonic(int t) { return 10 + 0.2 * t + 3 * std::cos(2 * M_PI * t / 12); }

struct forecast_case {
    forecast_case(const t_ts& ts, int L, int points) : f(ts) {
        f.set_window(L);
        f.set_points(points);
    }
    const t_ts& y() const { return f.get_forecast_ts(); }

    t_RSSA_signal_forecast f;
};

}  // namespace

TEST(Forecast, OnePointIsTheFormulaOnTheLastValuesOfTheSignal) {
    forecast_case c(sampled(100, trend_and_harmonic), 24, 1);
    c.f.make_forecast();
    const t_ts& signal = c.f.get_signal_invest()->get_signal();
    ASSERT_EQ(c.y().size(), 101);
    double expected = 0;
    for (int m = 0; m < 23; ++m) expected += c.f.get_lrf()[m] * signal[99 - m];
    for (int t = 0; t < 100; ++t) EXPECT_EQ(c.y()[t], signal[t]) << t;
    EXPECT_DOUBLE_EQ(c.y()[100], expected);
    EXPECT_NEAR(c.y()[100], trend_and_harmonic(100), 1e-8);
}

TEST(Forecast, EveryComponentInTheSignalLeavesNoFormula) {
    // Noise at omega 0.5: every component is trend, so nu2 falls short of 1 by rounding alone.
    forecast_case c(t_ts(with_noise(120, 1, 1, [](int) { return 0.0; })), 20, 5);
    c.f.make_forecast();  // an earlier run whose values must not survive the failure
    ASSERT_EQ(c.y().size(), 125);
    c.f.get_signal_invest()->set_trend_omega(0.5);
    EXPECT_THROW(c.f.make_forecast(), SSA_math_exception::forecast_exception);
    EXPECT_EQ(c.f.get_signal_invest()->get_signal_components().size(), 20u);
    EXPECT_EQ(c.y().size(), 0);
    EXPECT_EQ(c.f.get_lrf().size(), 0);
}

TEST(Forecast, NoFormulaBeforeTheSignalNorForABadWindow) {
    forecast_case c(sampled(100, trend_and_harmonic), 24, 5);
    EXPECT_THROW(c.f.make_lrf(), SSA_math_exception::ssa_exception);
    c.f.get_signal_invest()->set_L(24);  // a decomposition alone is no signal
    EXPECT_THROW(c.f.make_lrf(), SSA_math_exception::ssa_exception);
    for (int L : {1, 100}) {
        c.f.set_window(L);
        EXPECT_THROW(c.f.make_forecast(), SSA_math_exception::out_of_range) << L;
    }
}

TEST(Forecast, RootModulusTellsGrowthAndADivergingForecastIsAnError) {
    struct { double ratio; int N, L; } cases[] = {{1.05, 30, 2}, {0.9, 30, 6}, {1.01, 1003, 1001}};  // the last beyond the exact root finder
    for (const auto& c : cases) {
        forecast_case f(sampled(c.N, [&](int t) { return std::pow(c.ratio, t); }), c.L, 10);
        f.f.make_forecast();
        EXPECT_NEAR(f.f.get_root_modulus(), c.ratio, 1e-6) << c.L;
        EXPECT_EQ(f.f.grows(), c.ratio > 1) << c.L;
    }

    // Window two: each point is the last times the one coefficient.
    forecast_case c(sampled(30, [](int t) { return std::pow(1.05, t); }), 2, 10);
    c.f.make_forecast();
    ASSERT_EQ(c.f.get_lrf().size(), 1);
    const double a = c.f.get_lrf()[0];
    EXPECT_NEAR(a, 1.05, 1e-12);
    for (int t = 30; t < 40; ++t) EXPECT_EQ(c.y()[t], a * c.y()[t - 1]) << t;
    // The first point past the doubles' range, by the recurrence's own steps.
    int point = 30;
    for (double v = c.y()[29]; std::isfinite(v); v *= a) ++point;
    c.f.set_points(20000);
    const std::string message = thrown([&] { c.f.make_forecast(); });
    EXPECT_EQ(message.substr(0, message.find(';')),
              "The forecast leaves the range of doubles at point " + std::to_string(point) + " (forecast value " +
                  std::to_string(point - 30) + " of 20000)");
    EXPECT_EQ(c.y().size(), 0) << "no values of a failed run";
}

// Series of finite rank r: their r leading components are the whole series and both continuations are exact.
TEST(Forecast, BothMethodsContinueFiniteRankSeriesExactly) {
    struct { const char* name; std::function<double(int)> f; int rank; } cases[] = {
        {"sine times exponential", [](int t) { return std::pow(1.02, t) * std::sin(2 * M_PI * t / 7); }, 2},
        {"linear plus sine", [](int t) { return 3 + 0.1 * t + std::cos(2 * M_PI * t / 12); }, 4},
    };
    const int N = 80, L = 30, M = 40;
    for (const auto& c : cases) {
        const SVD::t_svd svd(sampled(N, c.f), L);
        std::vector<int> components(static_cast<size_t>(c.rank));
        std::iota(components.begin(), components.end(), 0);
        const series signal = svd.reconstruct_values(components);
        const series lrf = signal_lrf(svd.eigenvectors(), components);
        for (const forecast_method method : {forecast_method::recurrent, forecast_method::vector}) {
            const series y = continue_signal(method, signal, M, lrf, svd.eigenvectors(), components);
            ASSERT_EQ(y.size(), N + M);
            for (int t = N; t < N + M; ++t)
                EXPECT_NEAR(y(t), c.f(t), 1e-9 * std::max(1.0, std::fabs(c.f(t))))
                    << c.name << (method == forecast_method::vector ? ", vector" : ", recurrent") << ", t = " << t;
        }
    }
}

// Off the signal subspace the vector forecast projects where the formula does not.
TEST(Forecast, OnNoisySeriesTheMethodsDifferWithinTheNoise) {
    const t_ts ts(with_noise(120, 7, 0.3, trend_and_harmonic));
    forecast_case r(ts, 30, 12), v(ts, 30, 12);
    v.f.set_method(forecast_method::vector);
    r.f.make_forecast();
    v.f.make_forecast();
    double largest = 0;
    for (int t = 120; t < 132; ++t) largest = std::max(largest, std::fabs(v.y()[t] - r.y()[t]));
    EXPECT_GT(largest, 1e-6);
    EXPECT_LT(largest, 0.3);
}
