// Series whose decompositions the document tests rely on.
#pragma once

#include <cmath>
#include <memory>
#include <vector>

#include "app/summ_interact_doc.h"
#include "app/summation_doc.h"
#include "timeseries/ts.h"

// Linear trend, a sine of period 10 and a harmonic of period 2: with L = 30
// five components in use, 1 the trend, (2, 3) the sine, 4 the period-2 harmonic.
inline t_ts trend_sine_alternating(int n = 80) {
    std::vector<double> v;
    for (int t = 0; t < n; ++t) v.push_back(20 + 0.3 * t + 5 * std::sin(2 * M_PI * t / 10) + (t % 2 ? -1.0 : 1.0));
    return t_ts(v);
}

// The same with deterministic irregular noise: every component in use.
inline t_ts noisy_mix(int n = 80) {
    t_ts ts = trend_sine_alternating(n);
    for (int t = 0; t < n; ++t) ts[t] += 0.3 * std::cos(1.3 * t * t);
    return ts;
}

// ts with the years from 1900 as its tick marks, held in dates.
inline t_ts with_years(t_ts ts, std::vector<std::string>& dates) {
    for (int t = 0; t < ts.size(); ++t) dates.push_back(std::to_string(1900 + t));
    ts.set_ticks(&dates);
    ts.set_has_ticks(true);
    return ts;
}

// amount 0: every component in use.
inline std::unique_ptr<CSummationInvestDoc> run_summation(const t_ts& ts, int L = 30,
                                                          vector_kind kind = vk_eigenvectors, int amount = 0) {
    auto doc = std::make_unique<CSummationInvestDoc>(ts);
    doc->get_investigation().set_treatedvectors(kind);
    doc->get_investigation().set_L(L);
    if (amount > 0) doc->get_investigation().set_amount(amount);
    doc->start_investigation();
    return doc;
}

// The summation of trend_sine_alternating and the interactive table on it:
// 1 trend, (2, 3) a pair, 4 alone at 0.5, 5 unexplained.
struct summation_with_table {
    summation_with_table() { interact.init(summation.get()); }
    std::unique_ptr<CSummationInvestDoc> summation = run_summation(trend_sine_alternating());
    CSummInteractDoc interact;
};
