#include "draw/comp_info_paint.h"

#include <algorithm>

#include "draw/periodogram_paint.h"
#include "draw/ts_paint.h"

namespace {

void draw_vector(device_context& dc, CDCUtils& u, const dc_rect& r, const std::vector<double>& v) {
    if (v.empty()) return;
    const int n = static_cast<int>(v.size());
    const auto [lo, hi] = u.value_range(v.data(), n, n);
    u.set_scale(r, n, lo, hi);
    u.draw_frame(dc, r);
    u.draw_axes(dc, r, 1.0, n + 1, lo, hi, 0);
    u.draw_series(dc, v.data(), n, 0);
}

}  // namespace

std::vector<dc_rect> comp_info_panels(int client_width, int client_height, int label_room) {
    using namespace comp_info_layout;
    const dc_rect outer_rect{outer, outer, client_width - outer, client_height - outer};
    const int right = outer_rect.left + outer_rect.width() * 3 / 4;
    const int h = outer_rect.height();
    const int cuts[panel_count + 1] = {outer_rect.top, outer_rect.top + h / 5, outer_rect.top + 2 * h / 5,
                                       outer_rect.top + 3 * h / 5, outer_rect.bottom};
    std::vector<dc_rect> panels;
    for (int i = 0; i < panel_count; ++i)
        panels.push_back({std::max(outer_rect.left + panel_left_top, label_room), cuts[i] + panel_left_top,
                          right - panel_right_bottom, cuts[i + 1] - panel_right_bottom});
    return panels;
}

void paint_comp_info(device_context& dc, CDCUtils& u, const comp_info_plot& p, int client_width, int client_height) {
    using namespace comp_info_layout;
    // The widest value label of the three panels decides where their frames start.
    int labels = 0;
    const auto widen = [&](double lo, double hi) { labels = std::max(labels, u.value_label_width(dc, lo, hi)); };
    for (const std::vector<double>* v : {p.eigenvector, p.factor_vector})
        if (v && !v->empty()) {
            const auto [lo, hi] = u.value_range(v->data(), static_cast<int>(v->size()), static_cast<int>(v->size()));
            widen(lo, hi);
        }
    const bool overlay = p.original && p.original->size() > 0;
    if (p.component && p.component->size() > 0) {
        const auto [lo, hi] = u.value_range({p.component, overlay && !p.two_scales ? p.original : nullptr},
                                            p.component->size());
        widen(lo, hi);
    }
    const std::vector<dc_rect> panels = comp_info_panels(client_width, client_height, labels + 6);
    u.set_marker_radius(1);
    if (p.eigenvector) draw_vector(dc, u, panels[panel_eigenvector], *p.eigenvector);
    if (p.eigen_periodogram) paint_periodogram(dc, u, panels[panel_periodogram], *p.eigen_periodogram);
    if (p.factor_vector) draw_vector(dc, u, panels[panel_factor_vector], *p.factor_vector);

    if (p.component && p.component->size() > 0) {
        const t_ts& c = *p.component;
        const dc_rect& r = panels[panel_component];
        const int n = c.size();
        // One scale: the range takes in the original series too.
        const auto [lo, hi] = u.value_range({&c, overlay && !p.two_scales ? p.original : nullptr}, n);
        u.set_scale(r, n, lo, hi);
        u.draw_frame(dc, r);
        // The component runs over the series' time: its dates, where it has them.
        u.draw_axes(dc, r, 1.0, n + 1, lo, hi, 0, overlay ? axis_labels(*p.original) : nullptr);
        if (!p.two_scales) u.draw_header(dc, r.left, r.top, c.title());
        u.draw_series(dc, c, 0);
        if (overlay) {
            const t_ts& o = *p.original;
            if (p.two_scales) {
                const auto [olo, ohi] = u.value_range({&o}, o.size());
                u.set_scale(r, o.size(), olo, ohi);
                u.draw_ticrulers(dc, r, 1.0, o.size() + 1, olo, ohi, 1);
            }
            u.draw_series(dc, o, 2);
        }
    }

    const dc_font old = dc.select(dc_font{"Helvetica", 10});
    const int x = outer + (client_width - 2 * outer) * 3 / 4 + text_indent;
    int y = outer + text_indent;
    for (size_t i = 0; i < p.lines.size(); ++i) {
        if (i > 0) y += p.lines[i] == "TREND:" || p.lines[i] == "PERIOD:" ? section_step : line_step;
        dc.text(x, y, p.lines[i]);
    }
    dc.select(old);
}
