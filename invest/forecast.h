// Forecasts of a series: the signal continued by the linear recurrent formula
// of recurrent SSA.
#pragma once

#include <memory>

#include "core/object.h"
#include "core/series.h"
#include "invest/signal_invest.h"
#include "timeseries/ts.h"

// The largest forecast: the forecast and its signal are held several times
// over and each point costs a step of the recurrence.
constexpr int max_forecast_points = 1000000;

class t_forecast : public t_object {
public:
    explicit t_forecast(const t_ts& ts) : m_source_ts(ts) {}
    ~t_forecast() override = default;

    // forecast_ts becomes the fitted series followed by points forecast values.
    virtual void make_forecast() = 0;

    void set_points(int n) { m_points = n; }
    int get_points() const { return m_points; }
    const t_ts& get_source_ts() const { return m_source_ts; }
    const t_ts& get_forecast_ts() const { return m_forecast_ts; }

protected:
    int m_points = 0;
    t_ts m_source_ts;
    t_ts m_forecast_ts;
};

class t_signal_forecast : public t_forecast {
public:
    explicit t_signal_forecast(const t_ts& ts);
    ~t_signal_forecast() override = default;

    void set_window(int L) { m_window = L; }
    int get_window() const { return m_window; }
    // The leading components the signal is sought among; 0 (the default) for
    // every component the decomposition holds.
    void set_amount(int n) { m_amount = n; }
    int get_amount() const { return m_amount; }
    t_signal_invest* get_signal_invest() { return m_signal_invest.get(); }
    const t_signal_invest* get_signal_invest() const { return m_signal_invest.get(); }

    // The signal for the window length: amount every component held (L, or k
    // of a truncated decomposition) or fewer by set_amount, a fresh
    // decomposition, then the investigation. Throws out_of_range for a window
    // outside 2..N-1.
    virtual void process_signal();

protected:
    std::unique_ptr<t_signal_invest> m_signal_invest;
    int m_window = 0;
    int m_amount = 0;
};

class t_RSSA_signal_forecast : public t_signal_forecast {
public:
    using t_signal_forecast::t_signal_forecast;

    // process_signal(), make_lrf(), then the continuation. Throws
    // forecast_exception for fewer than 1 point, before any work.
    void make_forecast() override;

    // lrf from the processed signal investigation: ssa_exception when it has
    // not been processed, forecast_exception when the verticality coefficient
    // is 1 (no formula exists).
    void make_lrf();
    // The L-1 coefficients, lrf[0] for the most recent value.
    const series& get_lrf() const { return m_lrf; }

    // The largest modulus of the characteristic roots of the recurrence, set
    // by make_forecast: above 1 the continuation grows without bound. Exact
    // roots up to max_poly_coefficients coefficients; for longer formulas the
    // roots of the signal subspace's shift (the extraneous roots of this
    // formula lie inside the unit circle, so the verdict above 1 is the same).
    double get_root_modulus() const { return m_root_modulus; }
    static constexpr double growth_tolerance = 1e-9;
    bool grows() const { return m_root_modulus > 1 + growth_tolerance; }

private:
    double largest_root_modulus() const;

    series m_lrf;
    double m_root_modulus = 0;
};
