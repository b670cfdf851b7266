// A rerun, after a change of parameters or none, gives what a fresh object
// given the same settings gives.
#include <gtest/gtest.h>

#include <functional>

#include "invest/forecast.h"
#include "invest/period_invest.h"
#include "invest/signal_invest.h"
#include "invest/trend_invest.h"
#include "test_util.h"

namespace {

std::vector<std::vector<double>> columns_of(const t_reconstructed_tss* r) {
    std::vector<std::vector<double>> c;
    if (!r) return c;
    for (int k = 0; k < r->amount(); ++k) {
        c.emplace_back();
        r->get_values(k, c.back());
    }
    return c;
}

std::vector<double> values(const series& s) { return std::vector<double>(s.data(), s.data() + s.size()); }

}  // namespace

TEST(Rerun, InvestigationsGiveWhatAFreshOneGives) {
    const t_ts ts = sample_series(60);

    // Trend: each case configures, runs; the rerun changes what `second` sets.
    struct trend_case {
        const char* name;
        std::function<void(t_trend_invest&)> first, second;
        bool identify_only;
    };
    const std::vector<trend_case> trend_cases{
        {"same settings twice", [](t_trend_invest& i) { i.set_L(12); }, [](t_trend_invest&) {}, false},
        {"C raised", [](t_trend_invest& i) { i.set_L(12); }, [](t_trend_invest& i) { i.set_C(0.5); }, false},
        {"Kendall after LowFreq", [](t_trend_invest& i) { i.set_L(12); },
         [](t_trend_invest& i) { i.set_method(t_trend_invest::kendall); }, false},
        {"reconstructed, new L", [](t_trend_invest& i) {
             i.set_treatedvectors(vk_reconstructed);
             i.set_L(12);
         },
         [](t_trend_invest& i) { i.set_L(20); }, true},
    };
    for (const trend_case& c : trend_cases) {
        SCOPED_TRACE(c.name);
        t_trend_invest rerun(ts), fresh(ts);
        c.first(rerun);
        rerun.investigate();
        c.second(rerun);
        c.first(fresh);
        c.second(fresh);
        if (c.identify_only) {
            rerun.identificate();
            fresh.identificate();
            EXPECT_EQ(columns_of(rerun.get_reconstructed()), columns_of(fresh.get_reconstructed()));
        } else {
            rerun.investigate();
            fresh.investigate();
            EXPECT_EQ(values_of(rerun.get_result()), values_of(fresh.get_result()));
        }
        ASSERT_FALSE(fresh.get_components().empty());
        EXPECT_EQ(rerun.get_components(), fresh.get_components());
    }

    // Period on reconstructed components: identification alone after a new L.
    {
        SCOPED_TRACE("period, reconstructed, new L");
        t_period_invest rerun(ts), fresh(ts);
        for (t_period_invest* i : {&rerun, &fresh}) {
            i->set_treatedvectors(vk_reconstructed);
            i->set_approx_mode(-1);
        }
        rerun.set_L(12);
        rerun.investigate();
        rerun.set_L(20);
        fresh.set_L(12);
        fresh.set_L(20);
        rerun.identificate();
        fresh.identificate();
        EXPECT_EQ(columns_of(rerun.get_reconstructed()), columns_of(fresh.get_reconstructed()));
        EXPECT_EQ(rerun.get_pairs(), fresh.get_pairs());
    }

    // Signal and forecast: the trend threshold, then the window, change between runs.
    {
        SCOPED_TRACE("signal, C raised");
        t_signal_invest rerun(ts), fresh(ts);
        rerun.set_trend_C(0.01);
        rerun.set_amount(20);
        rerun.set_L(20);
        rerun.investigate();
        rerun.set_trend_C(0.9);
        fresh.set_trend_C(0.9);
        fresh.set_amount(20);
        fresh.set_L(20);
        rerun.investigate();
        fresh.investigate();
        EXPECT_EQ(rerun.get_signal_components(), fresh.get_signal_components());
        EXPECT_EQ(values_of(rerun.get_signal()), values_of(fresh.get_signal()));
        EXPECT_EQ(values_of(rerun.get_trend_part().get_result()), values_of(fresh.get_trend_part().get_result()));
    }
    {
        SCOPED_TRACE("forecast, trend threshold and window changed");
        t_RSSA_signal_forecast rerun(ts), fresh(ts);
        for (t_RSSA_signal_forecast* f : {&rerun, &fresh}) f->set_points(5);
        rerun.get_signal_invest()->set_trend_C(0.01);
        rerun.set_window(20);
        rerun.make_forecast();
        rerun.get_signal_invest()->set_trend_C(0.9);
        fresh.get_signal_invest()->set_trend_C(0.9);
        rerun.set_window(12);
        fresh.set_window(12);
        rerun.make_forecast();
        fresh.make_forecast();
        EXPECT_EQ(rerun.get_signal_invest()->get_signal_components(), fresh.get_signal_invest()->get_signal_components());
        EXPECT_EQ(values(rerun.get_lrf()), values(fresh.get_lrf()));
        EXPECT_EQ(values_of(rerun.get_forecast_ts()), values_of(fresh.get_forecast_ts()));
    }
}
