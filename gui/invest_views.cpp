#include "gui/invest_views.h"

#include <QTimer>
#include <algorithm>

#include "core/hooks.h"
#include "timeseries/ts.h"

void CResultView::notify_changed(const document& doc, unsigned changes) {
    // A changed document may fail or succeed anew: say so again. Zooming changes nothing of it.
    if (changes & ~change_span) m_reported = false;
    CPlotView::notify_changed(doc, changes);
}

void CResultView::paint(device_context& dc, int client_width, int client_height) {
    // The getters read the document, which is gone after its closing.
    if (!doc()) return;
    try {
        paint_result(dc, client_width, client_height);
    } catch (const std::exception& e) {
        report_once(e.what());
    }
}

int CResultView::time_points() const { return doc() ? result_points() : 0; }

void CResultView::report_once(const std::string& text) {
    if (m_reported) return;
    m_reported = true;
    QTimer::singleShot(0, this, [text] { notify(text); });
}

CSVDView::CSVDView(document* doc, svd_getter svd, QWidget* parent) : CResultView(doc, parent), m_svd(std::move(svd)) {
    m_utils.set_marker_radius(1);
    update_scroll();
}

void CSVDView::paint_result(device_context& dc, int client_width, int client_height) {
    if (!m_svd) return;
    const svd_display d = m_svd();
    if (!d.svd) return;
    m_utils.set_marker_radius(1);
    paint_svd_view(dc, m_utils, *d.svd, d.kind, client_width, client_height,
                   [this](const std::string& text) { report_once(text); });
}

int CSVDView::result_points() const {
    const svd_display d = m_svd ? m_svd() : svd_display{};
    return d.svd ? svd_axis_points(*d.svd, d.kind) : 0;
}

dc_size CSVDView::wanted_scroll_size(int client_width) const {
    if (!doc() || !m_svd) return initial_scroll_size;
    const svd_display d = m_svd();
    return d.svd ? svd_scroll_size(*d.svd, d.kind, client_width) : initial_scroll_size;
}

CTrendInvestView::CTrendInvestView(document* doc, trend_getter trend, QWidget* parent)
    : CResultView(doc, parent), m_trend(std::move(trend)) {}

void CTrendInvestView::paint_result(device_context& dc, int client_width, int client_height) {
    if (!m_trend) return;
    invest_window<t_trend_invest> w = m_trend();
    w.legend = legend();
    paint_trend_invest(dc, m_utils, w, client_width, client_height);
}

int CTrendInvestView::result_points() const {
    const t_ts* ts = m_trend ? m_trend().series : nullptr;
    return ts ? ts->size() : 0;
}

CPeriodInvestView::CPeriodInvestView(document* doc, period_getter period, QWidget* parent)
    : CResultView(doc, parent), m_period(std::move(period)) {}

void CPeriodInvestView::paint_result(device_context& dc, int client_width, int client_height) {
    if (!m_period) return;
    invest_window<t_period_invest> w = m_period();
    w.legend = legend();
    paint_period_invest(dc, m_utils, w, client_width, client_height);
}

int CPeriodInvestView::result_points() const {
    const t_ts* ts = m_period ? m_period().series : nullptr;
    return ts ? ts->size() : 0;
}

CForeInvestView::CForeInvestView(document* doc, forecast_getter forecast, QWidget* parent)
    : CResultView(doc, parent), m_forecast(std::move(forecast)) {}

void CForeInvestView::paint_result(device_context& dc, int client_width, int client_height) {
    if (!m_forecast) return;
    forecast_plot p = m_forecast();
    p.legend = legend();
    paint_forecast_view(dc, m_utils, p, client_width, client_height);
}

int CForeInvestView::result_points() const {
    if (!m_forecast) return 0;
    const forecast_plot p = m_forecast();
    return std::max(p.series ? p.series->size() : 0, p.forecast ? p.forecast->size() : 0);
}
