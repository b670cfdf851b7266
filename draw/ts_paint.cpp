#include "draw/ts_paint.h"

#include <algorithm>

#include "timeseries/ts.h"

const std::vector<std::string>* axis_labels(const t_ts& ts) {
    const std::vector<std::string>* ticks = ts.ticks();
    if (!ticks) return nullptr;
    for (const std::string& t : *ticks)
        if (!t.empty()) return ticks;
    return nullptr;
}

namespace {

const dc_font group_title_font{"Helvetica", 10};
const dc_font group_name_font{"Helvetica", 8};

void write(device_context& dc, const dc_font& font, int x, int y, const std::string& s) {
    const dc_font old = dc.select(font);
    dc.text(x, y, s);
    dc.select(old);
}

void paint_separate(device_context& dc, CDCUtils& u, const ts_group_plot& g, int client_width) {
    using namespace ts_group_margin;
    const int plot_width = client_width - right - left;
    for (size_t i = 0; i < g.series.size(); ++i) {
        const t_ts& ts = *g.series[i];
        const int c = static_cast<int>(i) % columns, r = static_cast<int>(i) / columns;
        const int x = c * plot_width / columns + left;
        const int y = r * cell_height + top;
        // An empty series has no range to scale to: its cell shows only the name.
        if (ts.size() > 0) {
            const dc_rect rect{x + 15, y + 15, x + plot_width / columns - 15, y + 135};
            const auto [lo, hi] = u.value_range({&ts}, ts.size());
            u.set_scale(rect, ts.size(), lo, hi);
            u.draw_frame(dc, rect);
            u.draw_axes(dc, rect, 0, ts.size(), lo, hi, 0, axis_labels(ts));
            u.draw_series(dc, ts, 2);
        }
        write(dc, group_name_font, x + 10, y + 2, ts.title());
    }
}

void paint_overlaid(device_context& dc, CDCUtils& u, const ts_group_plot& g, int client_width, int client_height) {
    using namespace ts_group_margin;
    const dc_rect area{left, top, client_width - right - legend_width, client_height - bottom};
    u.draw_frame(dc, area);
    // Empty series add nothing to the common range.
    const bool any = std::any_of(g.series.begin(), g.series.end(), [](const t_ts* ts) { return ts->size() > 0; });
    if (g.series.empty() || !any) {
        if (g.series.empty()) write(dc, group_name_font, left + 100, top + 100, "Nothing to draw, empty TS group");
        return;
    }
    const t_ts& first = *g.series[0];
    const auto [lo, hi] = u.value_range(g.series, first.size());
    u.set_scale(area, first.size(), lo, hi);
    u.draw_axes(dc, area, 1.0, first.size() + 1, lo, hi, 0, axis_labels(first));
    const dc_font old_font = dc.select(group_name_font);
    const int legend_x = client_width - right - legend_width;
    for (size_t i = 0; i < g.series.size(); ++i) {
        const int colour = static_cast<int>(i);
        u.draw_series(dc, *g.series[i], colour);
        const int y = top + 15 + 15 * colour;
        const dc_pen old_pen = dc.select(u.pens().pen(colour));
        dc.move_to(legend_x + 5, y);
        dc.line_to(legend_x + 20, y);
        dc.select(old_pen);
        dc.text(legend_x + 25, y - 6, g.series[i]->title());
    }
    dc.select(old_font);
}

}  // namespace

void paint_ts_view(device_context& dc, CDCUtils& u, const t_ts& ts, int client_width, int client_height) {
    using namespace ts_view_margin;
    const int n = ts.size();
    if (n == 0) return;
    const auto [lo, hi] = u.value_range({&ts}, n);
    // Wide values widen the margin: their labels stay on the window, clear of the frame.
    const dc_rect rect{std::max(left, u.value_label_width(dc, lo, hi) + 6), top, client_width - right,
                       client_height - bottom};
    u.set_scale(rect, n, lo, hi);
    u.draw_frame(dc, rect);
    u.draw_axes(dc, rect, 1.0, n + 1, lo, hi, 0, axis_labels(ts));
    u.draw_series(dc, ts, 0, ts.title().empty() ? "series" : ts.title());
    write(dc, u.header_font, 20, 15, "N=" + std::to_string(n));
}

dc_size ts_group_scroll_size(const ts_group_plot& g, int client_width) {
    using namespace ts_group_margin;
    if (g.style != 0) return initial_scroll_size;
    const int n = static_cast<int>(g.series.size());
    return {client_width - right, top + (n + 2) * cell_height / columns};
}

void paint_ts_group(device_context& dc, CDCUtils& u, const ts_group_plot& g, int client_width, int client_height) {
    u.set_marker_radius(1);
    write(dc, group_title_font, 20, 8, g.title);
    if (g.style == 0)
        paint_separate(dc, u, g, client_width);
    else if (g.style == 1)
        paint_overlaid(dc, u, g, client_width, client_height);
}
