#include "gui/decomp_result_view.h"

#include "app/decomp_result_doc.h"

decomp_plot decomp_plot_of(const CDecompResultDoc& doc) {
    decomp_plot p;
    p.style = doc.get_style();
    const t_ts* series[4] = {doc.get_original(), doc.get_trend(), doc.get_periodic(), doc.get_residual()};
    for (int i = 0; i < 4; ++i) {
        p.series[i] = series[i];
        p.panel_titles[i] = doc.panel_title(i);
        p.legend[i] = CDecompResultDoc::legend(i);
    }
    p.title = doc.overlaid_title();
    return p;
}

CDecompResultView::CDecompResultView(document* doc, plot_getter plot, QWidget* parent)
    : CPlotView(doc, parent), m_plot(std::move(plot)) {
    update_scroll();
}

void CDecompResultView::paint(device_context& dc, int client_width, int client_height) {
    if (!doc() || !m_plot) return;
    paint_decomp_view(dc, m_utils, m_plot(), client_width, client_height);
}

int CDecompResultView::time_points() const {
    if (!doc() || !m_plot) return 0;
    const t_ts* original = m_plot().series[0];
    return original ? original->size() : 0;
}

dc_size CDecompResultView::wanted_scroll_size(int client_width) const {
    if (!doc() || !m_plot) return initial_scroll_size;
    return decomp_scroll_size(m_plot(), client_width);
}
