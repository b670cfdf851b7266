#include "gui/comp_info_view.h"

comp_info_plot comp_info_of(const CCompInfoDoc& doc) {
    const component_info& i = doc.info();
    return comp_info_plot{&i.eigenvector, &i.factor_vector, &i.series, &i.original, doc.get_two_scales(),
                          doc.text_lines(), &i.eigen_periodogram};
}

CCompInfoView::CCompInfoView(document* doc, info_getter info, QWidget* parent)
    : CPlotView(doc, parent), m_info(std::move(info)) {
    update_scroll();
}

int CCompInfoView::time_points() const {
    if (!doc() || !m_info) return 0;
    const t_ts* c = m_info().component;
    return c ? c->size() : 0;
}

void CCompInfoView::paint(device_context& dc, int client_width, int client_height) {
    // A closed document leaves the window blank until it goes.
    if (!doc()) return;
    paint_comp_info(dc, m_utils, m_info(), client_width, client_height);
}
