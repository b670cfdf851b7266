#include "gui/ts_group_view.h"

#include <algorithm>

#include "timeseries/ts.h"

CTsGroupView::CTsGroupView(document* doc, group_getter group, QWidget* parent)
    : CPlotView(doc, parent), m_group(std::move(group)) {
    m_utils.set_marker_radius(1);
    update_scroll();
}

void CTsGroupView::paint(device_context& dc, int client_width, int client_height) {
    if (!doc() || !m_group) return;
    paint_ts_group(dc, m_utils, m_group(), client_width, client_height);
}

int CTsGroupView::time_points() const {
    if (!doc() || !m_group) return 0;
    int points = 0;
    for (const t_ts* ts : m_group().series) points = std::max(points, ts->size());
    return points;
}

dc_size CTsGroupView::wanted_scroll_size(int client_width) const {
    if (!doc() || !m_group) return initial_scroll_size;
    return ts_group_scroll_size(m_group(), client_width);
}
