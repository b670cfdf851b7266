#include "forecast_doc.h"

#include "app/app_ui.h"
#include "app/text_format.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"

namespace {

template <typename... Args>
void append(std::string& s, const char* format, Args... args) {
    s += format_text(format, args...);
}

}  // namespace

std::string forecast_header(int N, const t_signal_invest& inv) {
    const SVD::t_svd* svd = inv.get_svd();
    const int L = svd ? svd->L() : 0;
    std::string s;
    append(s, "N=%d, L=%d, K=%d", N, L, N - L + 1);
    append(s, ", #C=%d", inv.get_amount());
    // A part left out of the signal is left out of the line too.
    if (inv.get_use_trend()) append(s, ", TREND: LowFreq(omega=%G,C=%G)", inv.get_trend_omega(), inv.get_trend_C());
    if (inv.get_use_harmonics()) append(s, ", HARM: F(%d), rho(%.2f)", inv.get_harm_fourier(), inv.get_harm_rho());
    s += " on eigenvectors";
    const std::vector<int>& c = inv.get_signal_components();
    if (c.empty()) return s + ", no signal components found.";
    append(s, ", signal components: %d", c[0] + 1);
    for (size_t k = 1; k < c.size(); ++k) append(s, ", %d", c[k] + 1);
    return s;
}

void CForeInvestDoc::set_ts(const t_ts& ts) {
    m_ts = std::make_unique<t_ts>(ts);
    m_forecast = std::make_unique<t_RSSA_signal_forecast>(*m_ts);
}

void CForeInvestDoc::compute_forecast() {
    if (m_points < 1) throw SSA_math_exception::forecast_exception("Number of points to forecast is less than 1");
    if (!m_forecast) throw SSA_math_exception::ssa_exception("no series inside CForeInvestDoc::compute_forecast()");
    t_signal_invest& signal = *m_forecast->get_signal_invest();
    signal.set_use_trend(m_use_trend);
    signal.set_use_harmonics(m_use_harmonics);
    m_forecast->set_points(m_points);
    m_forecast->set_window(m_L);
    m_forecast->make_forecast();
}

std::string CForeInvestDoc::header_text() const {
    if (!m_forecast) return "";
    std::string s = forecast_header(m_ts->size(), *m_forecast->get_signal_invest());
    if (!m_forecast->get_signal_invest()->get_signal_components().empty() && m_forecast->get_lrf().size() > 0)
        s += root_text(*m_forecast);
    return s;
}

std::string root_text(const t_RSSA_signal_forecast& f) {
    return format_text("; largest root modulus %.10g", f.get_root_modulus()) +
           (f.grows() ? " (above 1: the forecast grows without bound)" : "");
}

bool CForeInvestDoc::save_forecast(app_ui& ui) {
    if (!m_forecast || m_forecast->get_forecast_ts().size() == 0) {
        ui.message_box("There is no forecast to save.", "", notify_icon::information);
        return false;
    }
    t_ts saved = m_forecast->get_forecast_ts();
    saved.set_title("Forecast of " + (m_ts->title().empty() ? name : m_ts->title()));
    return save_series(ui, &saved, "forecast");
}
