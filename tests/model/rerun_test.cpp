// A rerun gives what a fresh object with the same settings gives.
#include <gtest/gtest.h>

#include "invest/forecast.h"
#include "test_util.h"

namespace {

// The table of reconstructed components, empty when there is none.
std::vector<double> table_of(const t_reconstructed_tss* r) {
    return r ? std::vector<double>(r->table().row(0), r->table().row(0) + r->table().rows() * r->table().cols())
             : std::vector<double>();
}

}  // namespace

TEST(Rerun, InvestigationsGiveWhatAFreshOneGives) {
    const t_ts ts = sample_series(60);
    {
        t_trend_invest rerun(ts), fresh(ts);
        rerun.set_L(12), fresh.set_L(12);
        rerun.investigate();
        rerun.set_C(0.5), fresh.set_C(0.5);
        rerun.investigate();
        fresh.investigate();
        ASSERT_FALSE(fresh.get_components().empty());
        EXPECT_EQ(rerun.get_components(), fresh.get_components());
        EXPECT_EQ(values_of(rerun.get_result()), values_of(fresh.get_result()));
    }

    {
        // Reconstructed components of the first decomposition must not stand in for the second's.
        t_trend_invest trend_rerun(ts), trend_fresh(ts);
        t_period_invest period_rerun(ts), period_fresh(ts);
        const std::vector<t_investigation*> all{&trend_rerun, &trend_fresh, &period_rerun, &period_fresh};
        for (t_investigation* i : all) i->set_treatedvectors(vk_reconstructed), i->set_L(12);
        trend_rerun.investigate();
        period_rerun.investigate();
        for (t_investigation* i : all) i->set_L(20), i->identificate();
        EXPECT_EQ(table_of(trend_rerun.get_reconstructed()), table_of(trend_fresh.get_reconstructed()));
        EXPECT_EQ(table_of(period_rerun.get_reconstructed()), table_of(period_fresh.get_reconstructed()));
        EXPECT_EQ(trend_rerun.get_components(), trend_fresh.get_components());
        EXPECT_EQ(period_rerun.get_pairs(), period_fresh.get_pairs());
    }

    // The first run, at a lower trend threshold, finds trend components the second does not.
    t_RSSA_signal_forecast rerun(ts), fresh(ts);
    for (t_RSSA_signal_forecast* f : {&rerun, &fresh}) f->set_points(5);
    rerun.get_signal_invest()->set_trend_C(0.01);
    rerun.set_window(20);
    rerun.make_forecast();
    for (t_RSSA_signal_forecast* f : {&rerun, &fresh}) {
        f->get_signal_invest()->set_trend_C(0.9);
        f->set_window(12);
        f->make_forecast();
    }
    const t_signal_invest &a = *rerun.get_signal_invest(), &b = *fresh.get_signal_invest();
    EXPECT_EQ(a.get_signal_components(), b.get_signal_components());
    EXPECT_EQ(values_of(a.get_signal()), values_of(b.get_signal()));
    EXPECT_EQ(values_of(rerun.get_forecast_ts()), values_of(fresh.get_forecast_ts()));
}
