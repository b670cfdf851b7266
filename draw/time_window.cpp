#include "draw/time_window.h"

#include <algorithm>
#include <cmath>

time_window::time_window(int points) : m_points(std::max(0, points)) { reset(); }

time_window::time_window(int points, double first, double last) : m_points(std::max(0, points)) {
    clamp(first, last);
}

void time_window::reset() {
    m_first = 0;
    m_last = std::max(0, m_points - 1);
}

void time_window::clamp(double first, double last) {
    const double axis = std::max(0, m_points - 1);
    if (!(last > first) || !std::isfinite(first) || !std::isfinite(last)) {
        reset();
        return;
    }
    const double span = std::clamp(last - first, std::min(min_span, axis), axis);
    // Keep the middle where it was when the span had to grow.
    if (span > last - first) first -= (span - (last - first)) / 2;
    m_first = std::clamp(first, 0.0, axis - span);
    m_last = m_first + span;
    // The whole axis exactly, so that whole() holds after zooming back out.
    if (span >= axis) reset();
}

void time_window::zoom(double factor, double at) {
    if (!(factor > 0)) return;
    at = std::clamp(at, m_first, m_last);
    const double share = span() > 0 ? (at - m_first) / span() : 0.5;
    const double span = this->span() / factor;
    clamp(at - share * span, at - share * span + span);
}

void time_window::pan(double points) { clamp(m_first + points, m_last + points); }

void time_window::select(double a, double b) {
    if (a > b) std::swap(a, b);
    if (b - a < min_span) {
        const double middle = (a + b) / 2;
        a = middle - min_span / 2;
        b = middle + min_span / 2;
    }
    clamp(a, b);
}

double time_window::point_at(int x, int left, int right) const {
    if (right <= left) return m_first;
    return m_first + (x - left) * span() / (right - left);
}

std::pair<double, double> panel_range(const time_window& w, int n) {
    if (w.whole() || n <= 1 || w.points() <= 1) return {0.0, std::max(0, n - 1)};
    const double scale = (n - 1.0) / (w.points() - 1.0);
    return {w.first() * scale, w.last() * scale};
}

std::optional<std::pair<double, double>> visible_extremes(const double* values, int count, double first,
                                                          double last) {
    if (count <= 0 || first > count - 1) return std::nullopt;
    const int from = std::clamp(static_cast<int>(std::floor(first)), 0, count - 1);
    const int to = std::clamp(static_cast<int>(std::ceil(last)), from, count - 1);
    const auto [lo, hi] = std::minmax_element(values + from, values + to + 1);
    return std::make_pair(*lo, *hi);
}
