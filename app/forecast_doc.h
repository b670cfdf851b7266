// The forecast document, without its window: the signal investigation that
// the run sequence gives the decomposition to, and the forecast it computes.
#pragma once

#include <memory>
#include <string>

#include "app/ts_doc.h"
#include "invest/forecast.h"
#include "invest/signal_invest.h"

// The forecast view's header line for a series of N values and the forecast's
// signal investigation: window, components, thresholds and the signal found.
std::string forecast_header(int N, const t_signal_invest& inv);
// "; largest root modulus 0.9999" of a made forecast, with a warning above 1.
std::string root_text(const t_RSSA_signal_forecast& f);

class CForeInvestDoc : public CWinKelvaneDoc {
public:
    CForeInvestDoc() : CWinKelvaneDoc(doc_kind::forecast) {}

    // A copy of the series, and the forecast made anew on it.
    void set_ts(const t_ts& ts);
    const t_ts* get_ts() const { return m_ts.get(); }

    void set_L(int L) { m_L = L; }
    int get_L() const { return m_L; }
    void set_points(int n) { m_points = n; }
    int get_points() const { return m_points; }
    // The "Trend" and "Harmonic components" choices: the parts of the signal.
    void set_use_trend(bool b) { m_use_trend = b; }
    bool get_use_trend() const { return m_use_trend; }
    void set_use_harmonics(bool b) { m_use_harmonics = b; }
    bool get_use_harmonics() const { return m_use_harmonics; }

    // Null until the series is set.
    t_RSSA_signal_forecast* get_forecast() { return m_forecast.get(); }
    const t_RSSA_signal_forecast* get_forecast() const { return m_forecast.get(); }

    // The forecast of points values for the window L. Throws forecast_exception
    // "Number of points to forecast is less than 1" before any work; the
    // forecast's own exceptions pass through.
    void compute_forecast();

    std::string header_text() const;

    // The signal followed by the forecast into a data file of the user's choice,
    // as the command line's forecast --save writes it.
    bool save_forecast(app_ui& ui);

private:
    std::unique_ptr<t_ts> m_ts;
    int m_L = -1;
    int m_points = 0;
    bool m_use_trend = true;
    bool m_use_harmonics = true;
    std::unique_ptr<t_RSSA_signal_forecast> m_forecast;
};
