// The visible part of a plot's time axis, in points from 0 (between points
// too), and what zooming, panning and a rubber band make of it. Plain
// arithmetic: the Qt view maps wheel, keys and drags onto it.
#pragma once

#include <optional>
#include <utility>

class time_window {
public:
    // Fewer points visible than this would leave nothing to read between them.
    static constexpr double min_span = 4;

    // The whole axis of points (0 .. points - 1).
    explicit time_window(int points = 0);
    // [first, last] kept inside the axis (shifted, then cut).
    time_window(int points, double first, double last);

    int points() const { return m_points; }
    double first() const { return m_first; }
    double last() const { return m_last; }
    double span() const { return m_last - m_first; }
    bool whole() const { return m_first <= 0 && m_last >= m_points - 1; }

    void reset();
    // factor > 1 zooms in: the span shrinks by it while the point at stays where it is on the screen.
    void zoom(double factor, double at);
    void pan(double points);
    // The range between two points in either order; a band narrower than min_span widens around its middle.
    void select(double a, double b);

    // The point under pixel x of a plot from left to right (fractions between points).
    double point_at(int x, int left, int right) const;

private:
    void clamp(double first, double last);

    int m_points = 0;
    double m_first = 0, m_last = 0;
};

// The points of a panel of n points that a window over an axis of points
// shows: the same fraction of its length, so panels shorter or longer than
// the axis (a forecast's series, a component's eigenvector) zoom alike.
std::pair<double, double> panel_range(const time_window& w, int n);

// Lowest and highest of values[0 .. count) from the point before first to the
// point after last, so the segments entering the plot stay inside it (the
// whole series for the whole axis); none when the series ends before first.
std::optional<std::pair<double, double>> visible_extremes(const double* values, int count, double first,
                                                          double last);
