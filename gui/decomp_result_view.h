// The final decomposition window over its document, in the document's draw style.
#pragma once

#include <functional>

#include "draw/decomp_paint.h"
#include "gui/plot_view.h"

class CDecompResultDoc;

// What the window draws of the document, in its current style.
decomp_plot decomp_plot_of(const CDecompResultDoc& doc);

class CDecompResultView : public CPlotView {
    Q_OBJECT
public:
    using plot_getter = std::function<decomp_plot()>;
    CDecompResultView(document* doc, plot_getter plot, QWidget* parent = nullptr);

protected:
    void paint(device_context& dc, int client_width, int client_height) override;
    dc_size wanted_scroll_size(int client_width) const override;
    int time_points() const override;

private:
    plot_getter m_plot;
};
