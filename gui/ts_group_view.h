// The group window: several series overlaid in one plot with a legend, or
// as a grid of small plots of three columns that scrolls down.
#pragma once

#include <functional>

#include "gui/plot_view.h"

class CTsGroupView : public CPlotView {
    Q_OBJECT
public:
    // Reads the group document's title, draw style and series.
    using group_getter = std::function<ts_group_plot()>;
    CTsGroupView(document* doc, group_getter group, QWidget* parent = nullptr);

protected:
    void paint(device_context& dc, int client_width, int client_height) override;
    dc_size wanted_scroll_size(int client_width) const override;
    int time_points() const override;

private:
    group_getter m_group;
};
