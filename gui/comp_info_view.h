// The component-information window.
#pragma once

#include <functional>

#include "app/comp_info_doc.h"
#include "draw/comp_info_paint.h"
#include "gui/plot_view.h"

// What the window draws of its document (which must outlive the result).
comp_info_plot comp_info_of(const CCompInfoDoc& doc);

class CCompInfoView : public CPlotView {
    Q_OBJECT
public:
    using info_getter = std::function<comp_info_plot()>;
    CCompInfoView(document* doc, info_getter info, QWidget* parent = nullptr);

protected:
    void paint(device_context& dc, int client_width, int client_height) override;
    // The window's size: the panels and text fit whatever it is.
    dc_size wanted_scroll_size(int) const override { return {0, 0}; }
    // The component's; the vectors' panels zoom by the same share.
    int time_points() const override;

private:
    info_getter m_info;
};
