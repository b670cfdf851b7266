#include "draw/dc_utils.h"

#include <algorithm>
#include <cmath>
#include <tuple>

#include "core/number_text.h"
#include "core/series.h"
#include "core/ssa_exception.h"
#include "draw/value_axis.h"
#include "timeseries/ts.h"

Pens::Pens() {
    const dc_colour colours[6] = {{0, 0, 255}, {255, 0, 0}, {0, 150, 0}, {150, 150, 150}, {255, 128, 64}, {255, 255, 0}};
    for (int i = 0; i < 12; ++i) m_pens[i] = dc_pen{pen_style::solid, i < 6 ? 1 : 2, colours[i % 6]};
}

const dc_pen& Pens::pen(int colour) const { return colour >= 0 && colour < 12 ? m_pens[colour] : m_pens[0]; }

const dc_brush& Brushes::brush(int colour) const {
    if (colour == 4 || colour == 10) return m_orange;
    if (colour == 5 || colour == 11) return m_yellow;
    return m_blue;
}

std::pair<double, double> CDCUtils::value_range(const std::vector<const t_ts*>& series, int n) const {
    const auto [first, last] = panel_range(m_window, n);
    bool any = false;
    double lo = 0, hi = 0;
    const auto widen = [&](double a, double b) {
        lo = any ? std::min(lo, a) : a;
        hi = any ? std::max(hi, b) : b;
        any = true;
    };
    for (const t_ts* ts : series)
        if (ts && ts->size() > 0)
            if (const auto r = visible_extremes(ts->values().data(), ts->size(), first, last)) widen(r->first, r->second);
    // Nothing in view (the window past a series' end): the whole range, not an empty one.
    if (!any)
        for (const t_ts* ts : series)
            if (ts && ts->size() > 0) widen(ts->min(), ts->max());
    return {lo, hi};
}

std::pair<double, double> CDCUtils::value_range(const double* values, int count, int n) const {
    const auto [first, last] = panel_range(m_window, n);
    if (const auto r = visible_extremes(values, count, first, last)) return *r;
    const auto [lo, hi] = std::minmax_element(values, values + count);
    return {*lo, *hi};
}

void CDCUtils::set_scale(const dc_rect& rect, double n, double ymin, double ymax) {
    m_x0 = rect.left;
    m_y0 = rect.top;
    m_width = rect.width();
    m_height = rect.height();
    m_ymin = ymin;
    m_n = static_cast<int>(n);
    std::tie(m_first, m_last) = panel_range(m_window, m_n);
    // A single point has no spacing: it sits at x0.
    m_kx = m_last > m_first ? m_width / (m_last - m_first) : 0.0;
    m_ky = ymax - ymin < 1e-6 ? 0.0 : m_height / (ymax - ymin);
    // A second scale over the same rectangle stays the same panel.
    const bool same = !m_panels.empty() && m_panels.back().rect.left == rect.left &&
                      m_panels.back().rect.top == rect.top && m_panels.back().rect.right == rect.right &&
                      m_panels.back().rect.bottom == rect.bottom;
    if (!same) m_panels.push_back({rect, m_n, m_first, m_last, nullptr, {}});
}

int CDCUtils::x_of(double i) const { return static_cast<int>((i - m_first) * m_kx + m_x0); }

int CDCUtils::y_of(double v) const {
    if (m_ky < 1e-8) return m_y0 + m_height / 2;
    return static_cast<int>((v - m_ymin) * -m_ky + m_y0 + m_height);
}

void CDCUtils::draw_frame(device_context& dc, const dc_rect& rect) const {
    const dc_pen old = dc.select(axis_pen);
    dc.rectangle(rect.left, rect.top, rect.right, rect.bottom);
    dc.select(old);
}

int CDCUtils::grid_step(double dx, int width) {
    const int units = static_cast<int>(dx - 1.0);
    // Fewer than two units: the whole width is one unit.
    const double p = units == 0 ? width : static_cast<double>(width / units);
    int step = dx > 20 ? static_cast<int>(dx / 20) : 1;
    if (p < 1)
        step = static_cast<int>(dx / 2);
    else if (p < 2)
        step = static_cast<int>(dx / 4);
    else if (p < 4)
        step = static_cast<int>(dx / 8);
    else if (p < 8)
        step = static_cast<int>(dx / 10);
    // A step of 0 would never leave the grid loop.
    return step < 1 ? 1 : step;
}

double CDCUtils::value_step(int step, double ymin, double ymax) const {
    if (m_height <= 0) return 0;
    if (zoomed()) step = grid_step(m_last - m_first + 1, m_width);
    const double square = (x_of(step) - x_of(0)) * (ymax - ymin) / m_height;
    // A flat series, or grid columns closer than a pixel, get no horizontal lines.
    if (!(square > 0) || !std::isfinite(square)) return 0;
    // The 1-2-5 step nearest to square cells, with labels at least a line of text apart and at most 50 lines.
    constexpr int line = 16;
    const double least = std::max((ymax - ymin) * line / m_height, (ymax - ymin) / 50);
    const double above = nice_step(std::max(square, least));
    const double below = nice_step(above * 0.39);  // the 1-2-5 step before above
    return below >= least && square / below < above / square ? below : above;
}

void CDCUtils::draw_axes(device_context& dc, const dc_rect& rect, double xmin, double xmax, double ymin, double ymax,
                         int flankside, const std::vector<std::string>* tick_labels) const {
    dc.save();
    const dc_font old_font = dc.select(label_font);
    const double dx = xmax - xmin;
    const int step = grid_step(dx, rect.width());
    dc.select(grid_pen);

    // Past the end of a shorter tick list the points are numbered.
    const bool ticks = tick_labels && !tick_labels->empty();
    auto label = [&](int k) {
        return ticks && k < static_cast<int>(tick_labels->size()) ? (*tick_labels)[k] : format_text("%d", k + 1);
    };
    if (!zoomed()) {
        dc.text(x_of(0) - 2, m_y0 + m_height, label(0));
        for (int k = step; k < dx; k += step) {
            dc.move_to(x_of(k), m_y0);
            dc.line_to(x_of(k), m_y0 + m_height);
            dc.text(x_of(k) - 2, m_y0 + m_height, label(k));
        }
    } else {
        // The step of the part in view, on the multiples of it that are in view.
        const int zoomed_step = grid_step(m_last - m_first + 1, rect.width());
        for (int k = static_cast<int>(std::ceil(m_first / zoomed_step)) * zoomed_step; k <= m_last && k < dx;
             k += zoomed_step) {
            if (x_of(k) > m_x0) {
                dc.move_to(x_of(k), m_y0);
                dc.line_to(x_of(k), m_y0 + m_height);
            }
            dc.text(x_of(k) - 2, m_y0 + m_height, label(k));
        }
    }
    if (ticks && !m_panels.empty()) m_panels.back().ticks = tick_labels;

    if (m_height > 0) {
        for (double y : grid_values(ymin, ymax, value_step(step, ymin, ymax))) {
            const int py = y_of(y);
            dc.move_to(m_x0, py);
            dc.line_to(m_x0 + rect.width(), py);
        }
        draw_ticrulers(dc, rect, xmin, xmax, ymin, ymax, flankside);
    }

    if (ymax > 0 && ymin < 0) {
        dc.select(axis_pen);
        dc.select(axis_brush);
        const int py = y_of(0);
        const int right = m_x0 + rect.width();
        dc.ellipse(m_x0 - 3, py - 3, m_x0 + 3, py + 3);
        dc.move_to(m_x0, py);
        dc.line_to(right, py);
        dc.line_to(right - 9, py - 3);
        dc.move_to(right, py);
        dc.line_to(right - 9, py + 3);
    }
    dc.select(old_font);
    dc.restore();
}

void CDCUtils::draw_ticrulers(device_context& dc, const dc_rect& rect, double xmin, double xmax, double ymin,
                              double ymax, int flankside) const {
    if (flankside != 0 && flankside != 1)
        throw SSA_math_exception::internal_error("unknown flankside inside 'void CDCUtils::draw_ticrulers(...)'");
    dc.save();
    const dc_font old_font = dc.select(label_font);
    const int step = grid_step(xmax - xmin, rect.width());
    if (m_height > 0) {
        // Beside the frame, never over it: right-aligned before it on the left, after it on the right.
        const auto label = [&](double y, double resolution) {
            const std::string s = value_label(y, resolution);
            dc.text(flankside == 0 ? rect.left - 3 - dc.text_width(s) : rect.right + 3, y_of(y) - 6, s);
        };
        const double ystep = value_step(step, ymin, ymax);
        // A grid value within a line of text of an end would be written over that end's label.
        constexpr int line = 12;
        for (double y : grid_values(ymin, ymax, ystep))
            if (y_of(ymax) + line <= y_of(y) && y_of(y) + line <= y_of(ymin)) label(y, ystep);
        label(ymin, end_resolution(ymin, ymax));
        label(ymax, end_resolution(ymin, ymax));
    }
    dc.select(old_font);
    dc.restore();
}

void CDCUtils::marker(device_context& dc, int x, int y) const {
    const int r = m_marker_radius;
    // Radius 0: a line without markers.
    if (r <= 0) return;
    dc.ellipse(x - r, y - r, x + r, y + r);
}

void CDCUtils::draw_series(device_context& dc, const t_ts& ts, int colour, const std::string& name) const {
    draw_series(dc, ts.values().data(), ts.size(), colour, name.empty() ? ts.title() : name);
}

void CDCUtils::draw_series(device_context& dc, const series& s, int colour, const std::string& name) const {
    draw_series(dc, s.data(), s.size(), colour, name);
}

double CDCUtils::value_at(const double* values, int n, double x) {
    const int i = std::clamp(static_cast<int>(std::floor(x)), 0, n - 1);
    return i + 1 < n ? values[i] + (x - i) * (values[i + 1] - values[i]) : values[i];
}

void CDCUtils::draw_series(device_context& dc, const double* values, int n, int colour,
                           const std::string& name) const {
    if (n <= 0) return;
    if (!m_panels.empty()) m_panels.back().series.push_back({values, n, name});
    // The points in the window; the segments crossing its edges are cut there.
    int from = 0, to = n - 1;
    bool cut_left = false, cut_right = false;
    if (zoomed()) {
        from = std::max(0, static_cast<int>(std::ceil(m_first)));
        to = std::min(n - 1, static_cast<int>(std::floor(m_last)));
        cut_left = from > 0 && from > m_first;
        cut_right = to < n - 1 && to < m_last;
        if (from > to && !(cut_left && cut_right)) return;
    }
    const dc_pen old_pen = dc.select(m_pens.pen(colour));
    const dc_brush old_brush = dc.select(m_brushes.brush(colour));
    // The cuts on the frame's edges exactly, whatever the rounding of x_of.
    const int left = m_x0, right = m_x0 + m_width;
    if (from > to) {
        // One segment runs through the whole window.
        dc.move_to(left, y_of(value_at(values, n, m_first)));
        dc.line_to(right, y_of(value_at(values, n, m_last)));
    } else {
        if (cut_left) {
            dc.move_to(left, y_of(value_at(values, n, m_first)));
            dc.line_to(x_of(from), y_of(values[from]));
        } else {
            dc.move_to(x_of(from), y_of(values[from]));
        }
        if (std::fabs(m_kx) * 4 < 1 && to > from) {
            draw_envelope(dc, values, from, to);
        } else {
            marker(dc, x_of(from), y_of(values[from]));
            for (int i = from + 1; i <= to; ++i) {
                const int x = x_of(i), y = y_of(values[i]);
                dc.line_to(x, y);
                marker(dc, x, y);
            }
        }
        if (cut_right) dc.line_to(right, y_of(value_at(values, n, m_last)));
    }
    dc.select(old_brush);
    dc.select(old_pen);
}

void CDCUtils::draw_polyline(device_context& dc, const double* values, int n) const {
    if (n <= 0) return;
    dc.move_to(x_of(0), y_of(values[0]));
    for (int i = 1; i < n; ++i) dc.line_to(x_of(i), y_of(values[i]));
}

// All points of one pixel column share its x, so inside the column the
// polyline covers exactly the span from its lowest to its highest point, and
// it leaves the column from the last one: first, extremes, last give the
// same pixels in four segments per column.
void CDCUtils::draw_envelope(device_context& dc, const double* values, int from, int to) const {
    const int n = to + 1;
    int i = from;
    int x = x_of(from);
    while (i < n) {
        int y = y_of(values[i]);
        const int first = y;
        int low = y, high = y, last = y;
        int j = i + 1;
        for (; j < n; ++j) {
            if (x_of(j) != x) break;
            y = y_of(values[j]);
            if (y < low) low = y;
            if (y > high) high = y;
            last = y;
        }
        dc.line_to(x, first);
        dc.line_to(x, low);
        dc.line_to(x, high);
        dc.line_to(x, last);
        i = j;
        if (i < n) x = x_of(i);
    }
}

void CDCUtils::draw_legend_entry(device_context& dc, int x, int y, const std::string& text, int colour) const {
    const dc_pen old_pen = dc.select(m_pens.pen(colour));
    const dc_brush old_brush = dc.select(m_brushes.brush(colour));
    dc.move_to(x, y);
    dc.line_to(x + 15, y);
    marker(dc, x + 15, y);
    dc.line_to(x + 30, y);
    dc.text(x + 35, y - 8, text);
    dc.select(old_brush);
    dc.select(old_pen);
}

void CDCUtils::draw_legend_box(device_context& dc, const dc_rect& rect, const std::vector<std::string>& names,
                               const std::vector<int>& colours) const {
    if (names.empty()) return;
    const dc_font old_font = dc.select(label_font);
    int widest = 0;
    for (const std::string& s : names) widest = std::max(widest, dc.text_width(s));
    constexpr int row = 15, pad = 6;
    const int width = 35 + widest + 2 * pad;
    const int height = static_cast<int>(names.size()) * row + pad;
    const int left = rect.right - width - 8, top = rect.top + 8;
    const dc_pen old_pen = dc.select(dc_pen{pen_style::solid, 0, {160, 160, 160}});
    const dc_brush old_brush = dc.select(dc_brush{{255, 255, 255}});
    dc.rectangle(left, top, left + width, top + height);
    dc.select(old_brush);
    dc.select(old_pen);
    for (size_t i = 0; i < names.size(); ++i)
        draw_legend_entry(dc, left + pad, top + pad + 6 + static_cast<int>(i) * row, names[i],
                          i < colours.size() ? colours[i] : 0);
    dc.select(old_font);
}

void CDCUtils::draw_header(device_context& dc, int x, int y, const std::string& text) const {
    const dc_font old = dc.select(header_font);
    dc.text(x, y - 8, text);
    dc.select(old);
}

double CDCUtils::min_of(const series& s) { return s.min(); }
double CDCUtils::max_of(const series& s) { return s.max(); }
double CDCUtils::min_of(const t_ts& ts) { return ts.min(); }
double CDCUtils::max_of(const t_ts& ts) { return ts.max(); }

int CDCUtils::value_label_width(device_context& dc, double ymin, double ymax) const {
    const dc_font old_font = dc.select(label_font);
    // The ends carry the most digits and the extreme signs: the grid labels are no wider.
    const double resolution = end_resolution(ymin, ymax);
    const int width =
        std::max(dc.text_width(value_label(ymin, resolution)), dc.text_width(value_label(ymax, resolution)));
    dc.select(old_font);
    return width;
}
