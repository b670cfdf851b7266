#include "draw/decomp_paint.h"

#include <algorithm>

#include "timeseries/ts.h"

namespace {

using namespace decomp_view_margin;

void write_title(device_context& dc, const CDCUtils& u, const dc_rect& rect, const std::string& text) {
    if (text.empty()) return;
    const dc_font old = dc.select(u.header_font);
    dc.text(rect.left + 20, rect.top - 17, text);
    dc.select(old);
}

void paint_separate(device_context& dc, CDCUtils& u, const decomp_plot& p, int client_width, int client_height) {
    const int height = std::max(min_panel_height, (client_height - top - bottom - 3 * panel_gap) / 4);
    for (int i = 0; i < 4; ++i) {
        const t_ts& ts = *p.series[i];
        const int y = top + i * (height + panel_gap);
        const dc_rect rect{left, y, client_width - right, y + height};
        const auto [lo, hi] = u.value_range({&ts}, ts.size());
        u.set_scale(rect, ts.size(), lo, hi);
        u.draw_frame(dc, rect);
        u.draw_axes(dc, rect, 0, ts.size(), lo, hi, 0, axis_labels(ts));
        u.draw_series(dc, ts, i);
        write_title(dc, u, rect, p.panel_titles[i]);
    }
}

void paint_overlaid(device_context& dc, CDCUtils& u, const decomp_plot& p, int client_width, int client_height) {
    const dc_rect rect{left, top, client_width - right - legend_width, client_height - bottom};
    const t_ts& original = *p.series[0];
    const auto [lo, hi] = u.value_range({p.series[0], p.series[1], p.series[2], p.series[3]}, original.size());
    u.set_scale(rect, original.size(), lo, hi);
    u.draw_frame(dc, rect);
    u.draw_axes(dc, rect, 0, original.size(), lo, hi, 0, axis_labels(original));
    for (int i = 0; i < 4; ++i) u.draw_series(dc, *p.series[i], i, p.legend[i]);
    const int legend_x = rect.right + 10;
    for (int i = 0; i < 4; ++i) u.draw_legend_entry(dc, legend_x, top + 15 + 20 * i, p.legend[i], i);
    write_title(dc, u, rect, p.title);
}

bool drawable(const decomp_plot& p) {
    return std::all_of(std::begin(p.series), std::end(p.series), [](const t_ts* s) { return s && s->size() > 0; });
}

}  // namespace

dc_size decomp_scroll_size(const decomp_plot& p, int client_width) {
    if (p.style != 0) return initial_scroll_size;
    return {std::max(initial_scroll_size.width, client_width),
            top + 4 * min_panel_height + 3 * panel_gap + bottom};
}

void paint_decomp_view(device_context& dc, CDCUtils& u, const decomp_plot& p, int client_width, int client_height) {
    if (!drawable(p)) return;
    if (p.style == 0)
        paint_separate(dc, u, p, client_width, client_height);
    else
        paint_overlaid(dc, u, p, client_width, client_height);
}
