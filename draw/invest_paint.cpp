#include "draw/invest_paint.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/hooks.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "decomp/svd.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"
#include "timeseries/ts.h"

namespace {

const dc_font caption_font{"Helvetica", 8};
// The observed series in the read-out and the legends.
const std::string series_name = "series";

template <typename... Args>
void append(std::string& s, const char* format, Args... args) {
    s += format_text(format, args...);
}

void write(device_context& dc, int x, int y, const std::string& s) {
    const dc_font old = dc.select(caption_font);
    dc.text(x, y, s);
    dc.select(old);
}

// The text in at most two lines of width, broken after a comma; the rest of
// the second line is cut with "...". A line that fits is drawn at y alone.
void write_wrapped(device_context& dc, int x, int y, int width, const std::string& s) {
    const dc_font old = dc.select(caption_font);
    if (dc.text_width(s) <= width) {
        dc.text(x, y, s);
    } else {
        // The first line ends after the last comma that keeps it within width.
        size_t cut = 0;
        for (size_t at = s.find(", "); at != std::string::npos && dc.text_width(s.substr(0, at + 1)) <= width;
             at = s.find(", ", at + 1))
            cut = at + 1;
        if (cut == 0) cut = s.size() / 2;
        std::string second = s.substr(std::min(s.size(), s.find_first_not_of(' ', cut)));
        if (dc.text_width(second) > width) {
            while (!second.empty() && dc.text_width(second + "...") > width) second.pop_back();
            second += "...";
        }
        dc.text(x, y - 11, s.substr(0, cut));
        dc.text(x, y + 4, second);
    }
    dc.select(old);
}

// A truncated decomposition keeps fewer vectors than L: show what it holds.
int shown_triples(const SVD::t_svd& svd) { return std::min(svd.count(), svd.eigenvectors().cols()); }

void paint_singular_values(device_context& dc, CDCUtils& u, const SVD::t_svd& svd, bool logarithmed,
                           int client_width, int client_height) {
    using namespace svd_view_margin;
    const int m = shown_triples(svd);
    if (m <= 0) return;
    std::vector<double> v;
    for (int c = 0; c < m; ++c) {
        const double s = std::sqrt(svd.eigenvalue(c));
        // log 0 is undefined: such points are left out.
        if (logarithmed && !(s > 0)) break;
        v.push_back(logarithmed ? std::log(s) : s);
    }
    if (v.empty()) return;
    const int n = static_cast<int>(v.size());
    const dc_rect rect{left, top, client_width - right, client_height - bottom};
    const auto [lo, hi] = u.value_range(v.data(), n, n);
    u.set_scale(rect, n, lo, hi);
    u.draw_frame(dc, rect);
    u.draw_axes(dc, rect, 1.0, n + 1, lo, hi, 0, nullptr);
    u.set_marker_radius(2);
    u.draw_series(dc, v.data(), n, 0);
}

std::vector<double> column(const matrix& m, int c) {
    std::vector<double> v(static_cast<size_t>(m.rows()));
    for (int i = 0; i < m.rows(); ++i) v[static_cast<size_t>(i)] = m(i, c);
    return v;
}

void paint_vectors(device_context& dc, CDCUtils& u, const SVD::t_svd& svd, int kind, int client_width) {
    using namespace svd_view_margin;
    if (kind != svd_eigenvectors && kind != svd_factor_vectors)
        throw SSA_math_exception::unknown_objects_for_identification("unrealized inside CSVDView::draw(...)");
    const matrix& vectors = kind == svd_eigenvectors ? svd.eigenvectors() : svd.factor_vectors();
    const int width = client_width - left - right;
    const int m = shown_triples(svd);
    for (int i = 0; i < m; ++i) {
        const int x = (i % columns) * width / columns + left;
        const int y = (i / columns) * cell_height + 20;
        const dc_rect rect{x + 15, y + 15, x + width / columns - 15, y + 185};
        const std::vector<double> v = column(vectors, i);
        const int n = static_cast<int>(v.size());
        const auto [lo, hi] = u.value_range(v.data(), n, n);
        u.set_scale(rect, n, lo, hi);
        u.draw_frame(dc, rect);
        u.draw_axes(dc, rect, 0, n, lo, hi, 0, nullptr);
        u.draw_series(dc, v.data(), n, 0);
        std::string caption;
        append(caption, "#%d, contribution = %%%.3f", i + 1, svd.contribution(i) * 100);
        write(dc, x + 10, y + 2, caption);
    }
}

// A second series drawn over the plot without markers; with two scales in
// its own range, labelled on the right.
void draw_overlay(device_context& dc, CDCUtils& u, const dc_rect& rect, int n, const t_ts& s, int colour,
                  bool own_scale, const std::string& name) {
    if (own_scale) {
        const auto [lo, hi] = u.value_range({&s}, n);
        u.set_scale(rect, n, lo, hi);
        u.draw_ticrulers(dc, rect, 1.0, n + 1, lo, hi, 1);
    }
    const int radius = u.marker_radius();
    u.set_marker_radius(0);
    u.draw_series(dc, s, colour, name);
    u.set_marker_radius(radius);
}

// The margins widen for value labels wider than they are; the right-hand
// labels of a second scale need room of their own.
dc_rect plot_rect(device_context& dc, const CDCUtils& u, double lo, double hi, const t_ts* second_scale, int n,
                  int client_width, int client_height) {
    using namespace ts_view_margin;
    constexpr int gap = 6;
    const int l = std::max(left, u.value_label_width(dc, lo, hi) + gap);
    int r = right;
    if (second_scale) {
        const auto [second_lo, second_hi] = u.value_range({second_scale}, n);
        r = std::max(40, u.value_label_width(dc, second_lo, second_hi) + gap);
    }
    return {l, top, client_width - r, client_height - bottom};
}

const char* vectors_text(vector_kind v, const char* place) {
    switch (v) {
    case vk_eigenvectors: return " on eigenvectors";
    case vk_factor_vectors:
    case vk_factor_vectors2: return " on factorvectors";
    case vk_reconstructed: return " on reconstructed";
    }
    throw SSA_math_exception::unknown_objects_for_identification(place);
}

// "N=%d, L=%d, K=%d, #C=%d", shared by both windows.
std::string sizes(t_investigation& inv) {
    const int N = inv.get_ts()->size();
    const SVD::t_svd* svd = inv.get_svd();
    const int L = svd ? svd->L() : 0;
    std::string s;
    append(s, "N=%d, L=%d, K=%d", N, L, N - L + 1);
    append(s, ", #C=%d", inv.get_amount());
    return s;
}

}  // namespace

int svd_axis_points(const SVD::t_svd& svd, int kind) {
    if (kind == svd_eigenvectors) return svd.eigenvectors().rows();
    if (kind == svd_factor_vectors) return svd.N() - svd.L() + 1;
    return shown_triples(svd);
}

dc_size svd_scroll_size(const SVD::t_svd& svd, int kind, int client_width) {
    using namespace svd_view_margin;
    if (kind != svd_eigenvectors && kind != svd_factor_vectors) return initial_scroll_size;
    return {client_width - right, 40 + (shown_triples(svd) + 1) * cell_height / columns};
}

void paint_svd_view(device_context& dc, CDCUtils& u, const SVD::t_svd& svd, int kind, int client_width,
                    int client_height, const view_message& message) {
    switch (kind) {
    case svd_singular_values:
    case svd_log_singular_values:
        paint_singular_values(dc, u, svd, kind == svd_log_singular_values, client_width, client_height);
        return;
    case svd_eigenvectors:
    case svd_factor_vectors: paint_vectors(dc, u, svd, kind, client_width); return;
    case svd_reconstructed:
        if (message)
            message("unrealized");
        else
            notify("unrealized");
        return;
    }
    throw SSA_math_exception::internal_error("unknown objects for drawing inside \"CSVDView::OnDraw(...)\"");
}

namespace {

// Interval bounds from abscissa point first on.
struct band_plot {
    int first = 0;
    const series* lower = nullptr;
    const series* upper = nullptr;
};

const dc_pen band_pen{pen_style::solid, 1, {200, 215, 240}};

// The band shaded by one vertical line per pixel column inside rect: where
// points share a column their extremes, between points the bounds run straight.
void draw_band(device_context& dc, const CDCUtils& u, const dc_rect& rect, const band_plot& b, double ymin,
               double ymax) {
    const series &lower = *b.lower, &upper = *b.upper;
    const int M = lower.size();
    if (M == 0) return;
    const dc_pen old = dc.select(band_pen);
    // Bounds past the scale (a replicate that ran away, even to inf or nan) end at the frame.
    const auto inside = [&](double v) { return v > ymax ? ymax : v >= ymin ? v : ymin; };
    const auto column = [&](int x, double lo, double hi) {
        if (x < rect.left || x > rect.right) return;  // zoomed: out of view
        dc.move_to(x, u.y_of(inside(lo)));
        dc.line_to(x, u.y_of(inside(hi)));
    };
    int x = u.x_of(b.first);
    double lo = lower(0), hi = upper(0);
    for (int j = 1; j < M; ++j) {
        const int next = u.x_of(b.first + j);
        if (next == x) {
            lo = std::min(lo, lower(j));
            hi = std::max(hi, upper(j));
            continue;
        }
        column(x, lo, hi);
        for (int px = x + 1; px < next; ++px) {
            const double t = static_cast<double>(px - x) / (next - x);
            column(px, lower(j - 1) + t * (lower(j) - lower(j - 1)),
                   upper(j - 1) + t * (upper(j) - upper(j - 1)));
        }
        x = next;
        lo = lower(j);
        hi = upper(j);
    }
    column(x, lo, hi);
    dc.select(old);
}

// The series on n abscissa points in colour 0, with an overlay in colour 10 over the same points;
// with two scales the overlay gets its own. A band lies under both, in the
// common scale only. Returns the plot rectangle.
dc_rect paint_series_and_overlay(device_context& dc, CDCUtils& u, const t_ts& ts, const t_ts* overlay, int n,
                                 bool two_scales, const std::string& overlay_name, int client_width,
                                 int client_height, const band_plot* band = nullptr,
                                 const std::vector<std::string>* labels = nullptr) {
    if (two_scales) band = nullptr;
    auto [lo, hi] = u.value_range({&ts, two_scales ? nullptr : overlay}, n);
    if (band) {
        // The bounds in view widen the range, counted from the band's first point,
        // but by at most the lines' own span each way: the bounds of a forecast
        // that grows without bound would otherwise flatten the lines to nothing.
        const auto [first, last] = panel_range(u.window(), n);
        const series &lower = *band->lower, &upper = *band->upper;
        const auto l = visible_extremes(lower.data(), lower.size(), first - band->first, last - band->first);
        const auto h = visible_extremes(upper.data(), upper.size(), first - band->first, last - band->first);
        const double span = hi - lo;
        if (l) lo = std::max(std::min(lo, l->first), lo - span);
        if (h) hi = std::min(std::max(hi, h->second), hi + span);
    }
    const dc_rect rect = plot_rect(dc, u, lo, hi, two_scales ? overlay : nullptr, n, client_width, client_height);
    u.set_scale(rect, n, lo, hi);
    u.draw_frame(dc, rect);
    u.draw_axes(dc, rect, 1.0, n + 1, lo, hi, 0, labels ? labels : axis_labels(ts));
    if (band) draw_band(dc, u, rect, *band, lo, hi);
    u.set_marker_radius(2);
    u.draw_series(dc, ts, 0, series_name);
    if (overlay) draw_overlay(dc, u, rect, n, *overlay, 10, two_scales, overlay_name);
    return rect;
}

// 0-based components as "1, 4, 7" from 1.
std::string numbers(const std::vector<int>& components) {
    std::string s;
    for (int c : components) s += (s.empty() ? "" : ", ") + std::to_string(c + 1);
    return s;
}

}  // namespace

void paint_invest_plot(device_context& dc, CDCUtils& u, const invest_plot& p, int client_width, int client_height) {
    if (!p.series || p.series->size() == 0) return;
    const t_ts* rec = p.reconstruction && p.reconstruction->size() > 0 ? p.reconstruction : nullptr;
    const dc_rect rect = paint_series_and_overlay(dc, u, *p.series, rec, p.series->size(), p.two_scales, p.name,
                                                  client_width, client_height);
    if (p.legend) {
        std::vector<std::string> names{series_name};
        if (rec) names.push_back(p.name);
        u.draw_legend_box(dc, rect, names, {0, 10});
    }
}

std::string trend_legend(t_trend_invest& inv) { return "trend (" + numbers(inv.get_components()) + ")"; }

std::string period_legend(t_period_invest& inv) {
    std::string s;
    for (const Pair::t_pair<int>& p : inv.get_pairs()) {
        s += s.empty() ? "" : ", ";
        s += p.first == p.second ? std::to_string(p.first + 1)
                                 : std::to_string(p.first + 1) + "-" + std::to_string(p.second + 1);
    }
    return "periodic (" + s + ")";
}

std::string trend_header(t_trend_invest& inv) {
    std::string s = sizes(inv);
    switch (inv.get_method()) {
    case t_trend_invest::kendall: append(s, ", Kendall(%G)", inv.get_alpha()); break;
    case t_trend_invest::roots: append(s, ", Roots(%d)", inv.get_maxroots()); break;
    case t_trend_invest::lowfreq: append(s, ", LowFreq(omega=%G,C=%G)", inv.get_omega(), inv.get_C()); break;
    default: throw SSA_math_exception::internal_error("invalid trend invest method");
    }
    s += vectors_text(inv.get_treatedvectors(), "inside TrendInvestView::OnDraw(...)");
    const std::vector<int>& c = inv.get_components();
    if (c.empty()) return s + ", no components found.";
    append(s, ", components included : %d", c[0] + 1);
    for (size_t k = 1; k < c.size(); ++k) append(s, ", %d", c[k] + 1);
    return s;
}

std::string period_header_line1(t_period_invest& inv) {
    std::string s = sizes(inv);
    static const char* const aims[] = {", aim=periodocities", ", aim=periodicity_interval", ", aim=harm_interval"};
    const int aim = inv.get_aim();
    if (aim >= 0 && aim <= 2) s += aims[aim];
    if (inv.get_pairing() == 0)
        append(s, ", F(%.2f)", inv.get_crit());
    else
        s += ", pairing_method=CR";
    s += vectors_text(inv.get_treatedvectors(), "inside PeriodInvestView::OnDraw(...)");
    if (const t_VYG_constraint* vyg = inv.get_constraint())
        append(s, ", VYG(%.2f)", vyg->get_param());
    if (aim == 1 || aim == 2) {
        static const char* const methods[] = {", est. by Phi", ", est. by CharRoots",
                                              ", est. by Periodogramm of initial ts"};
        const int e = inv.get_estimation();
        if (e >= 0 && e <= 2) s += methods[e];
        const Pair::t_pair<double> r = inv.get_period_range();
        append(s, ", inside [%.2f,%.2f]", r.first, r.second);
    }
    return s;
}

std::string period_header_line2(t_period_invest& inv) {
    std::string s;
    if (inv.get_approx_mode() == 0)
        append(s, "Min contrib.=%.2f", inv.min_percent);
    else
        append(s, "Max comp-nts amount=%d", inv.max_components);
    const auto& pairs = inv.get_pairs();
    // Without pairs nothing is listed: no contributions are needed either.
    if (pairs.empty()) return s + ", No pairs found.";
    const SVD::t_svd* svd = inv.get_svd();
    bool first = true;
    for (const Pair::t_pair<int>& p : pairs) {
        if (!svd || !(svd->contribution(p.first) * 100 > inv.min_percent) ||
            !(svd->contribution(p.second) * 100 > inv.min_percent))
            continue;
        s += first ? ", components included : " : ", ";
        if (p.first == p.second)
            append(s, "%d", p.first + 1);
        else
            append(s, "(%d,%d)", p.first + 1, p.second + 1);
        first = false;
    }
    return s;
}

void paint_trend_invest(device_context& dc, CDCUtils& u, const invest_window<t_trend_invest>& w, int client_width,
                        int client_height) {
    if (!w.series || !w.invest) return;
    const bool found = !w.invest->get_components().empty();
    paint_invest_plot(dc, u, {w.series, found ? &w.invest->get_result() : nullptr, w.two_scales,
                              trend_legend(*w.invest), w.legend},
                      client_width, client_height);
    write(dc, 20, 15, trend_header(*w.invest));
}

void paint_period_invest(device_context& dc, CDCUtils& u, const invest_window<t_period_invest>& w,
                         int client_width, int client_height) {
    if (!w.series || !w.invest) return;
    const bool found = !w.invest->get_pairs().empty();
    paint_invest_plot(dc, u, {w.series, found ? &w.invest->get_result() : nullptr, w.two_scales,
                              period_legend(*w.invest), w.legend},
                      client_width, client_height);
    write(dc, 20, 8, period_header_line1(*w.invest));
    write(dc, 20, 25, period_header_line2(*w.invest));
}

void paint_forecast_view(device_context& dc, CDCUtils& u, const forecast_plot& p, int client_width,
                         int client_height) {
    if (p.series && p.series->size() > 0) {
        const t_ts& ts = *p.series;
        const t_ts* fc = p.forecast && p.forecast->size() > 0 ? p.forecast : nullptr;
        // The continuation runs on past the series: the abscissa covers it too.
        const int n = fc ? std::max(ts.size(), fc->size()) : ts.size();
        // The bounds belong to the forecast's last points.
        const bool banded = fc && p.lower && p.upper && p.lower->size() > 0 && p.upper->size() == p.lower->size() &&
                            p.lower->size() <= fc->size();
        const band_plot band{banded ? fc->size() - p.lower->size() : 0, p.lower, p.upper};
        const dc_rect rect = paint_series_and_overlay(dc, u, ts, fc, n, p.two_scales, "forecast", client_width,
                                                      client_height, banded ? &band : nullptr, p.labels);
        // The signal is the forecast's first part: in its scale, over it.
        const bool signal = fc && p.signal && p.signal->size() > 0;
        if (signal) draw_overlay(dc, u, rect, n, *p.signal, 8, false, "signal");
        if (p.legend) {
            std::vector<std::string> names{series_name};
            if (fc) names.push_back("forecast");
            if (signal) names.push_back("signal");
            u.draw_legend_box(dc, rect, names, {0, 10, 8});
        }
    }
    // The header names every signal component: on a narrow window it wraps.
    write_wrapped(dc, 20, 15, client_width - 40, p.header);
}
