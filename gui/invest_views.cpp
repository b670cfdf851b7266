#include "gui/invest_views.h"

#include <QTimer>

#include "core/hooks.h"

void CResultView::notify_changed(const document& doc, unsigned changes) {
    // A changed document may fail or succeed anew: say so again.
    m_reported = false;
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

dc_size CSVDView::wanted_scroll_size(int client_width) const {
    if (!doc() || !m_svd) return initial_scroll_size;
    const svd_display d = m_svd();
    return d.svd ? svd_scroll_size(*d.svd, d.kind, client_width) : initial_scroll_size;
}

CTrendInvestView::CTrendInvestView(document* doc, trend_getter trend, QWidget* parent)
    : CResultView(doc, parent), m_trend(std::move(trend)) {}

void CTrendInvestView::paint_result(device_context& dc, int client_width, int client_height) {
    if (m_trend) paint_trend_invest(dc, m_utils, m_trend(), client_width, client_height);
}

CPeriodInvestView::CPeriodInvestView(document* doc, period_getter period, QWidget* parent)
    : CResultView(doc, parent), m_period(std::move(period)) {}

void CPeriodInvestView::paint_result(device_context& dc, int client_width, int client_height) {
    if (m_period) paint_period_invest(dc, m_utils, m_period(), client_width, client_height);
}

CForeInvestView::CForeInvestView(document* doc, forecast_getter forecast, QWidget* parent)
    : CResultView(doc, parent), m_forecast(std::move(forecast)) {}

void CForeInvestView::paint_result(device_context& dc, int client_width, int client_height) {
    if (m_forecast) paint_forecast_view(dc, m_utils, m_forecast(), client_width, client_height);
}
