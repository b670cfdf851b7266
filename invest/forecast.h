// Forecasts of a series: the signal continued by the linear recurrent formula
// of recurrent SSA or by the vector forecast, with bootstrap prediction intervals.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "core/object.h"
#include "core/series.h"
#include "invest/signal_invest.h"
#include "timeseries/ts.h"

// The largest forecast: the forecast and its signal are held several times
// over and each point costs a step of the recurrence.
constexpr int max_forecast_points = 1000000;

// How the signal is continued: by the recurrent formula applied to the last
// values, or by the vector forecast, which continues the signal's lag vectors
// in the signal subspace and diagonal-averages them.
enum class forecast_method { recurrent, vector };

// The bootstrap's resampling is seeded with this, so a rerun gives the same bounds.
constexpr unsigned long long bootstrap_seed = 20250325;
constexpr int min_replicates = 10;
constexpr int max_replicates = 100000;
// The bootstrap keeps every replicate's forecast: replicates times points at most.
constexpr double max_bootstrap_values = 5e7;

// The L-1 coefficients of the recurrent formula of the subspace spanned by the
// columns signal of the eigenvectors U (L rows), lrf[0] for the most recent
// value. forecast_exception when the verticality coefficient is 1.
series signal_lrf(const matrix& U, const std::vector<int>& signal);

// The signal (N values) followed by points values continued by method, from
// the formula lrf (recurrent) or the signal columns of U (vector). A value
// beyond the doubles' range and every one after it are left as they come
// (inf or NaN): first_unbounded() finds the first.
series continue_signal(forecast_method method, const series& signal, int points, const series& lrf,
                       const matrix& U, const std::vector<int>& columns);
// The first value of y from index from on that is not finite, or -1.
int first_unbounded(const series& y, int from);

// Bootstrap prediction bounds of points values after the series x (N values)
// whose signal, the components (0-based, ascending) of its decomposition for
// window L, is signal: replicates series of the signal plus the residuals x -
// signal, widened by sqrt(N / (N - df)) for the noise the signal took (df the
// trace of the reconstruction as a linear map of the series), drawn with
// replacement (seeded by bootstrap_seed), each decomposed for
// L, the same components reconstructed and continued by method, plus a
// residual drawn for every forecast point; lower and upper are the empirical
// quantiles (1 -+ level) / 2 of those per point, linear between order
// statistics. Reports progress as one stage (a throwing hook cancels, leaving
// lower and upper as they were). Throws ssa_exception for a level outside
// (0, 1), replicates outside min_replicates .. max_replicates or more than
// max_bootstrap_values values, forecast_exception when a replicate has no
// formula or leaves the doubles' range.
// U: the eigenvectors of x's own decomposition for the window (L = U.rows()),
// which measure how much of the noise the signal took.
void bootstrap_intervals(const series& x, const series& signal, const std::vector<int>& components, const matrix& U,
                         forecast_method method, int points, double level, int replicates, series& lower,
                         series& upper);

// How a bootstrap replicate decomposes for window L when it needs the leading
// `needed` eigenvectors: the cheapest solver that gives them to rounding.
SVD::svd_options bootstrap_options(int L, int needed);

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

    // process_signal(), make_lrf(), then the continuation by the method.
    // Throws forecast_exception for fewer than 1 point, before any work. The
    // intervals of an earlier forecast are dropped.
    void make_forecast() override;
    void set_method(forecast_method m) { m_method = m; }
    forecast_method get_method() const { return m_method; }

    // bootstrap_intervals of the made forecast: its signal, window, method
    // and points. Throws ssa_exception before a forecast is made; any failure
    // or cancel leaves no bounds.
    void make_intervals(double level, int replicates);
    // Empty, or one value per forecast point.
    const series& get_lower() const { return m_lower; }
    const series& get_upper() const { return m_upper; }
    double get_level() const { return m_level; }
    int get_replicates() const { return m_replicates; }

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

    forecast_method m_method = forecast_method::recurrent;
    series m_lrf;
    double m_root_modulus = 0;
    series m_lower, m_upper;
    double m_level = 0;
    int m_replicates = 0;
};

// What a forecast is asked for: the window, the points and the parts of the
// signal with their thresholds.
struct forecast_params {
    int forecast_L = -1;
    int forecast_points = 1;
    bool forecast_trend = true;
    bool forecast_harmonics = true;
    double trend_C = 0.1;
    double trend_omega = 0.08;
    int harm_fourier = 1;
    double harm_rho = 0.65;
    forecast_method method = forecast_method::recurrent;
    // Bootstrap prediction intervals at level from replicates, when asked for.
    bool intervals = false;
    double level = 0.95;
    int replicates = 200;

    // The first parameter out of its range (NaN is out of every range).
    std::optional<param_refusal> validate() const;
};

// The forecast of p's points for its window, signal parts and method, then
// its intervals when asked for. Throws forecast_exception "Number of points to
// forecast is less than 1" before any work; the forecast's own exceptions pass through.
void run_forecast(t_RSSA_signal_forecast& f, const forecast_params& p);

// The header line for a series of N values and the forecast's signal
// investigation: window, components, thresholds and the signal found.
std::string forecast_header(int N, const t_signal_invest& inv);
// "; largest root modulus 0.9999" of a made forecast, with a warning above 1.
std::string root_text(const t_RSSA_signal_forecast& f);
// The header, then the root text once a formula was made, then the method
// and the intervals where they are not the recurrent forecast alone.
std::string forecast_header_text(const t_RSSA_signal_forecast& f);

// The forecast's series for a data file: the signal followed by the forecast,
// with source's tick marks continued over the forecast (the positions when
// source has none) and the forecast's title.
t_ts forecast_series(const t_RSSA_signal_forecast& f, const t_ts& source, const std::string& title);
// Its marks: the source's, continued over the forecast; none where the source has none.
std::vector<std::string> forecast_ticks(const t_RSSA_signal_forecast& f, const t_ts& source);
// The interval bounds, where there are any, as the two columns after the
// value on the forecast's lines of that series.
cts_columns forecast_bounds(const t_RSSA_signal_forecast& f);
