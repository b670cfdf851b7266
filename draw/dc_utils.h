// The drawing toolkit every plot shares: the mapping of a series into a
// rectangle, frame, grid with labels, zero axis, series, legend and header,
// all through a device_context. Plain C++: the tests record what it draws.
#pragma once

#include <string>
#include <vector>

#include "draw/dc.h"
#include "draw/readout.h"
#include "draw/time_window.h"

class series;
class t_ts;

// The twelve solid pens of the colour numbers; any other number is pen 0.
class Pens {
public:
    Pens();
    const dc_pen& pen(int colour) const;

private:
    dc_pen m_pens[12];
};

// Three brushes: orange for 4 and 10, yellow for 5 and 11, blue otherwise.
class Brushes {
public:
    const dc_brush& brush(int colour) const;

private:
    dc_brush m_blue{{0, 0, 255}};
    dc_brush m_orange{{255, 128, 64}};
    dc_brush m_yellow{{255, 255, 0}};
};

class CDCUtils {
public:
    const dc_font header_font{"Helvetica", 10};
    const dc_font label_font{"Helvetica", 8};
    const dc_pen grid_pen{pen_style::dotted, 1, {200, 200, 200}};
    const dc_pen axis_pen{pen_style::solid, 0, {0, 0, 0}};
    const dc_brush axis_brush{{0, 0, 0}};
    const dc_pen navy_pen{pen_style::solid, 1, {0, 0, 128}};
    const dc_brush navy_brush{{0, 0, 128}};

    const Pens& pens() const { return m_pens; }
    const Brushes& brushes() const { return m_brushes; }
    int marker_radius() const { return m_marker_radius; }
    // 0 draws a series as a plain line, without markers.
    void set_marker_radius(int r) { m_marker_radius = r; }

    // The part of the time axis the following scales show (the whole axis by default).
    void set_window(const time_window& w) { m_window = w; }
    const time_window& window() const { return m_window; }
    // Lowest and highest of the values that show in the window, each series
    // drawn over n points; of every value where none shows. Null and empty
    // series are left out; at least one is neither.
    std::pair<double, double> value_range(const std::vector<const t_ts*>& series, int n) const;
    std::pair<double, double> value_range(const double* values, int count, int n) const;

    // n points into rect: the window's part of them from the left edge to the
    // right (all n, the first on the left edge and the last on the right,
    // for the whole axis), ymin on the bottom edge and ymax on the top.
    // Each new rectangle is a panel of the read-out.
    void set_scale(const dc_rect& rect, double n, double ymin, double ymax);
    int x_of(double i) const;
    int y_of(double v) const;

    void draw_frame(device_context& dc, const dc_rect& rect) const;
    // flankside 0 puts the value labels on the left, 1 on the right.
    void draw_axes(device_context& dc, const dc_rect& rect, double xmin, double xmax, double ymin, double ymax,
                   int flankside, const std::vector<std::string>* tick_labels = nullptr) const;
    // Throws SSA_math_exception::ssa_exception for a flankside other than 0 or 1.
    void draw_ticrulers(device_context& dc, const dc_rect& rect, double xmin, double xmax, double ymin, double ymax,
                        int flankside) const;
    // The widest value label of a scale from ymin to ymax, for the margin beside the frame.
    int value_label_width(device_context& dc, double ymin, double ymax) const;

    // The polyline with a marker at every point. With more than four points
    // per pixel column the markers would merge into a band, so the per-column
    // envelope is drawn instead: the same pixels as the polyline, no markers.
    // Only the part in the window, cut at its edges. The name is the read-out's
    // (a t_ts's title where none is given).
    void draw_series(device_context& dc, const t_ts& ts, int colour, const std::string& name = {}) const;
    void draw_series(device_context& dc, const series& s, int colour, const std::string& name = {}) const;
    void draw_series(device_context& dc, const double* values, int n, int colour,
                     const std::string& name = {}) const;
    // The polyline alone, point by point, in the current pen.
    void draw_polyline(device_context& dc, const double* values, int n) const;

    void draw_legend_entry(device_context& dc, int x, int y, const std::string& text, int colour) const;
    // A framed legend in the top right corner of rect: one entry per name, in colours[i].
    void draw_legend_box(device_context& dc, const dc_rect& rect, const std::vector<std::string>& names,
                         const std::vector<int>& colours) const;
    void draw_header(device_context& dc, int x, int y, const std::string& text) const;

    // Throw for an empty series, as series::min and series::max do.
    static double min_of(const series& s);
    static double max_of(const series& s);
    static double min_of(const t_ts& ts);
    static double max_of(const t_ts& ts);

    // The grid step in index units for dx = xmax - xmin over a rectangle this wide.
    static int grid_step(double dx, int width);

    // The panels drawn since the last clear, for the read-out.
    const std::vector<plot_panel>& panels() const { return m_panels; }
    void clear_panels() { m_panels.clear(); }

private:
    void marker(device_context& dc, int x, int y) const;
    void draw_envelope(device_context& dc, const double* values, int from, int to) const;
    // The spacing of the value grid, a 1-2-5 step near square grid cells; 0 when there is none.
    double value_step(int step, double ymin, double ymax) const;
    bool zoomed() const { return m_first > 0 || m_last < m_n - 1; }
    // The line through the points around x, at x.
    static double value_at(const double* values, int n, double x);

    Pens m_pens;
    Brushes m_brushes;
    int m_marker_radius = 2;
    int m_x0 = 0, m_y0 = 0, m_width = 0, m_height = 0;
    double m_ymin = 0, m_kx = 0, m_ky = 0;
    time_window m_window;
    // The scale's points and the part of them shown.
    int m_n = 0;
    double m_first = 0, m_last = 0;
    // Filled while painting; the const drawing calls add to them.
    mutable std::vector<plot_panel> m_panels;
};
