#include "views/decomp_result_view.h"

CDecompResultView::CDecompResultView(document* doc, plot_getter plot, QWidget* parent)
    : CPlotView(doc, parent), m_plot(std::move(plot)) {
    update_scroll();
}

void CDecompResultView::paint(device_context& dc, int client_width, int client_height) {
    if (!doc() || !m_plot) return;
    paint_decomp_view(dc, m_utils, m_plot(), client_width, client_height);
}

dc_size CDecompResultView::wanted_scroll_size(int client_width) const {
    if (!doc() || !m_plot) return initial_scroll_size;
    return decomp_scroll_size(m_plot(), client_width);
}
