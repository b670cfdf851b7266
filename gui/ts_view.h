// The window of a time-series document: the series with its grid, value
// labels and "N=" header. It needs only the document to observe and a way to
// read the series, so any document holding a t_ts can be shown.
#pragma once

#include <functional>

#include "gui/plot_view.h"

class t_ts;

class CTsView : public CPlotView {
    Q_OBJECT
public:
    using series_getter = std::function<const t_ts&()>;
    CTsView(document* doc, series_getter series, QWidget* parent = nullptr);

protected:
    void paint(device_context& dc, int client_width, int client_height) override;
    int time_points() const override;

private:
    series_getter m_series;
};
