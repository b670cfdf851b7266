#include "forecast_doc.h"

#include "app/app_ui.h"
#include "core/ssa_exception.h"

void CForeInvestDoc::set_ts(const t_ts& ts) {
    m_ts = std::make_unique<t_ts>(ts);
    m_forecast = std::make_unique<t_RSSA_signal_forecast>(*m_ts);
}

void CForeInvestDoc::compute_forecast() {
    if (!m_forecast) throw SSA_math_exception::internal_error("no series inside CForeInvestDoc::compute_forecast()");
    m_ticks.clear();
    run_forecast(*m_forecast, m_params);
    // Continued once here, not on every repaint.
    m_ticks = ::forecast_ticks(*m_forecast, *m_ts);
}

std::string CForeInvestDoc::header_text() const { return m_forecast ? forecast_header_text(*m_forecast) : ""; }

bool CForeInvestDoc::save_forecast(app_ui& ui) {
    if (!m_forecast || m_forecast->get_forecast_ts().size() == 0) {
        ui.message_box("There is no forecast to save.", "", notify_icon::information);
        return false;
    }
    const t_ts saved =
        forecast_series(*m_forecast, *m_ts, "Forecast of " + (m_ts->title().empty() ? name : m_ts->title()));
    return save_series(ui, &saved, "forecast", forecast_bounds(*m_forecast));
}
