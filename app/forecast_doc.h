// The forecast document, without its window: the series, the forecast's
// parameters, and the forecast the model makes from them.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/ts_doc.h"
#include "invest/forecast.h"
#include "invest/signal_invest.h"

class CForeInvestDoc : public CWinKelvaneDoc {
public:
    CForeInvestDoc() : CWinKelvaneDoc(doc_kind::forecast) {}

    // A copy of the series, and the forecast made anew on it.
    void set_ts(const t_ts& ts);
    const t_ts* get_ts() const { return m_ts.get(); }

    // Window, points, the "Trend" and "Harmonic components" choices, the parts' thresholds,
    // the method and the intervals.
    forecast_params& params() { return m_params; }
    const forecast_params& params() const { return m_params; }

    // Null until the series is set.
    t_RSSA_signal_forecast* get_forecast() { return m_forecast.get(); }
    const t_RSSA_signal_forecast* get_forecast() const { return m_forecast.get(); }

    // run_forecast with the parameters.
    void compute_forecast();

    std::string header_text() const;
    // The series' tick marks continued over the forecast; empty when the series has none.
    const std::vector<std::string>& forecast_ticks() const { return m_ticks; }

    // The signal followed by the forecast into a data file of the user's choice,
    // as the command line's forecast --save writes it.
    bool save_forecast(app_ui& ui);

private:
    std::unique_ptr<t_ts> m_ts;
    forecast_params m_params;
    std::unique_ptr<t_RSSA_signal_forecast> m_forecast;
    std::vector<std::string> m_ticks;
};
