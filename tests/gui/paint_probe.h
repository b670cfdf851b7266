// Probes of what the plot code draws: the recorded shapes, the rendered views.
#pragma once

#include <QImage>
#include <QPainter>
#include <vector>

#include "gui/plot_view.h"
#include "tests/gui/recording_dc.h"

using ints = std::vector<int>;
inline ints box(const dc_op& o) { return {o.a, o.b, o.c, o.d}; }
inline std::vector<ints> boxes(const std::vector<dc_op>& ops) {
    std::vector<ints> out;
    for (const dc_op& o : ops) out.push_back(box(o));
    return out;
}

// What a plot view paints, on white, without a screen.
inline QImage render(CPlotView& view) {
    QImage img(view.viewport()->size(), QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    view.paint_to(p);
    return img;
}
