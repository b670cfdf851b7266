#include "gui/ts_view.h"

#include "timeseries/ts.h"

CTsView::CTsView(document* doc, series_getter series, QWidget* parent)
    : CPlotView(doc, parent), m_series(std::move(series)) {}

void CTsView::paint(device_context& dc, int client_width, int client_height) {
    // The getter reads the document, which is gone after its closing.
    if (!doc() || !m_series) return;
    paint_ts_view(dc, m_utils, m_series(), client_width, client_height);
}

int CTsView::time_points() const { return doc() && m_series ? m_series().size() : 0; }
