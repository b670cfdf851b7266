#include "draw/readout.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"

std::optional<int> panel_at(const std::vector<plot_panel>& panels, int x, int y) {
    for (size_t i = 0; i < panels.size(); ++i) {
        const dc_rect& r = panels[i].rect;
        if (x >= r.left && x <= r.right && y >= r.top && y <= r.bottom) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::optional<readout> read_out(const std::vector<plot_panel>& panels, int x, int y) {
    const std::optional<int> at = panel_at(panels, x, y);
    if (!at || panels[*at].points <= 0) return std::nullopt;
    const plot_panel& p = panels[*at];
    const double span = p.last - p.first;
    const int width = p.rect.width();
    const double t = width > 0 && span > 0 ? p.first + (x - p.rect.left) * span / width : p.first;
    // The nearest point that is in view: the line never stands outside the frame.
    const int lo = std::max(0, static_cast<int>(std::ceil(p.first - 1e-9)));
    const int hi = std::min(p.points - 1, static_cast<int>(std::floor(p.last + 1e-9)));
    const int k = std::clamp(static_cast<int>(std::lround(t)), lo, std::max(lo, hi));
    readout r;
    r.panel = *at;
    r.point = k;
    // As CDCUtils::x_of places the point.
    const double kx = span > 0 ? width / span : 0.0;
    r.x = static_cast<int>((k - p.first) * kx + p.rect.left);
    const bool marked = p.ticks && k < static_cast<int>(p.ticks->size()) && !(*p.ticks)[k].empty();
    r.text = marked ? (*p.ticks)[k] : format_text("%d", k + 1);
    bool first = true;
    for (const drawn_series& s : p.series) {
        if (k >= s.count) continue;
        r.text += first ? ": " : ", ";
        r.text += (s.name.empty() ? "value" : s.name) + " " + format_text("%.6g", s.values[k]);
        first = false;
    }
    return r;
}
