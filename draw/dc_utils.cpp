#include "draw/dc_utils.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/series.h"
#include "core/ssa_exception.h"
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

void CDCUtils::set_scale(const dc_rect& rect, double n, double ymin, double ymax) {
    m_x0 = rect.left;
    m_y0 = rect.top;
    m_width = rect.width();
    m_height = rect.height();
    m_ymin = ymin;
    // A single point has no spacing: it sits at x0.
    m_kx = n > 1 ? m_width / (n - 1.0) : 0.0;
    m_ky = ymax - ymin < 1e-6 ? 0.0 : m_height / (ymax - ymin);
}

int CDCUtils::x_of(double i) const { return static_cast<int>(i * m_kx + m_x0); }

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
    const double ystep = (x_of(step) - x_of(0)) * (ymax - ymin) / m_height;
    // A flat series, or grid columns closer than a pixel, get no horizontal lines.
    return ystep > 0 && std::isfinite(ystep) ? ystep : 0;
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
    dc.text(x_of(0) - 2, m_y0 + m_height, label(0));
    for (int k = step; k < dx; k += step) {
        dc.move_to(x_of(k), m_y0);
        dc.line_to(x_of(k), m_y0 + m_height);
        dc.text(x_of(k) - 2, m_y0 + m_height, label(k));
    }

    if (m_height > 0) {
        const double ystep = value_step(step, ymin, ymax);
        if (ystep > 0) {
            for (int k = 1; ymin + k * ystep < ymax; ++k) {
                const int py = y_of(ymin + k * ystep);
                dc.move_to(m_x0, py);
                dc.line_to(m_x0 + rect.width(), py);
            }
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
        const auto label = [&](double y) {
            const std::string s = format_text("%.2f", y);
            dc.text(flankside == 0 ? rect.left - 3 - dc.text_width(s) : rect.right + 3, y_of(y) - 6, s);
        };
        const double ystep = value_step(step, ymin, ymax);
        if (ystep > 0) {
            // A grid value within a line of text of an end would be written over that end's label.
            constexpr int line = 12;
            for (int k = 1; ymin + k * ystep < ymax; ++k) {
                const double y = ymin + k * ystep;
                if (y_of(ymax) + line <= y_of(y) && y_of(y) + line <= y_of(ymin)) label(y);
            }
        }
        label(ymin);
        label(ymax);
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

void CDCUtils::draw_series(device_context& dc, const t_ts& ts, int colour) const {
    draw_series(dc, ts.values().data(), ts.size(), colour);
}

void CDCUtils::draw_series(device_context& dc, const series& s, int colour) const {
    draw_series(dc, s.data(), s.size(), colour);
}

void CDCUtils::draw_series(device_context& dc, const double* values, int n, int colour) const {
    if (n <= 0) return;
    const dc_pen old_pen = dc.select(m_pens.pen(colour));
    const dc_brush old_brush = dc.select(m_brushes.brush(colour));
    if (std::fabs(m_kx) * 4 < 1 && n > 1) {
        draw_envelope(dc, values, n);
    } else {
        int x = x_of(0), y = y_of(values[0]);
        dc.move_to(x, y);
        marker(dc, x, y);
        for (int i = 1; i < n; ++i) {
            x = x_of(i);
            y = y_of(values[i]);
            dc.line_to(x, y);
            marker(dc, x, y);
        }
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
void CDCUtils::draw_envelope(device_context& dc, const double* values, int n) const {
    int i = 0;
    int x = x_of(0);
    dc.move_to(x, y_of(values[0]));
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
    const int width = std::max(dc.text_width(format_text("%.2f", ymin)), dc.text_width(format_text("%.2f", ymax)));
    dc.select(old_font);
    return width;
}
