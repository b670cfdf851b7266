#include <gtest/gtest.h>

#include <cmath>

#include "draw/dc_utils.h"
#include "draw/readout.h"
#include "draw/time_window.h"
#include "draw/value_axis.h"
#include "paint_probe.h"
#include "timeseries/ts.h"

namespace {

TEST(TimeWindow, ZoomKeepsThePointUnderThePointerAndZoomingOutEndsOnTheWholeAxis) {
    time_window w(101);
    EXPECT_TRUE(w.whole());
    w.zoom(4, 30);
    // 30 stood at 30 % of the width and still does, over a quarter of the span.
    EXPECT_DOUBLE_EQ(w.span(), 25);
    EXPECT_DOUBLE_EQ((30 - w.first()) / w.span(), 0.3);
    EXPECT_FALSE(w.whole());
    // A point outside counts as the nearest edge.
    time_window edge = w;
    edge.zoom(2, 1000);
    EXPECT_DOUBLE_EQ(edge.last(), w.last());
    // No further in than min_span; out again beyond the axis is the whole axis, not past it.
    w.zoom(1000, 30);
    EXPECT_NEAR(w.span(), time_window::min_span, 1e-12);
    w.zoom(1e-3, 30);
    EXPECT_TRUE(w.whole());
    EXPECT_EQ(std::pair(w.first(), w.last()), std::pair(0.0, 100.0));
    // Nothing to zoom on an axis of one point.
    time_window one(1);
    one.zoom(4, 0);
    EXPECT_EQ(std::pair(one.first(), one.last()), std::pair(0.0, 0.0));
}

TEST(TimeWindow, PanStopsAtTheEndsWithTheSpanKept) {
    time_window w(101, 40, 60);
    w.pan(-15);
    EXPECT_EQ(std::pair(w.first(), w.last()), std::pair(25.0, 45.0));
    w.pan(-100);
    EXPECT_EQ(std::pair(w.first(), w.last()), std::pair(0.0, 20.0));
    w.pan(1000);
    EXPECT_EQ(std::pair(w.first(), w.last()), std::pair(80.0, 100.0));
    // A window given beyond the axis is shifted in; an empty one is the whole axis.
    EXPECT_EQ(time_window(101, 90, 120).first(), 70.0);
    EXPECT_TRUE(time_window(101, 7, 7).whole());
}

TEST(TimeWindow, RubberBandInEitherDirectionAndNarrowBandsWidenAroundTheirMiddle) {
    time_window w(201);
    w.select(80.5, 20.25);
    EXPECT_EQ(std::pair(w.first(), w.last()), std::pair(20.25, 80.5));
    w.select(50, 51);
    EXPECT_EQ(std::pair(w.first(), w.last()), std::pair(48.5, 52.5));
    w.select(-10, 1);
    EXPECT_EQ(std::pair(w.first(), w.last()), std::pair(0.0, 11.0));
}

TEST(TimeWindow, PanelsShowTheSameShareAndTheValueRangeIsOfTheVisiblePart) {
    const time_window w(101, 25, 50);
    EXPECT_EQ(panel_range(w, 101), std::pair(25.0, 50.0));
    // A vector of 21 points zooms by the same share.
    EXPECT_EQ(panel_range(w, 21), std::pair(5.0, 10.0));
    const std::vector<double> v{9, 1, 2, 3, 4, -7};
    // A series ending before the window shows nothing there.
    EXPECT_FALSE(visible_extremes(v.data(), 6, 5.5, 9).has_value());
}

TEST(ValueAxis, StepsAreOneTwoOrFiveTimesAPowerOfTen) {
    const struct { double raw, step; } rows[] = {
        {1.05, 2}, {0.3 / 3, 0.1}, {0.00021, 0.0005}, {0, 0}, {-1, 0},
    };
    for (const auto& r : rows) EXPECT_DOUBLE_EQ(nice_step(r.raw), r.step) << r.raw;
    // The middle value exactly 0, not a rounding residue.
    EXPECT_EQ(grid_values(-0.27, 0.31, 0.1).at(2), 0.0);
    // Strictly inside: the ends have labels of their own.
    EXPECT_EQ(grid_values(0, 10, 5), std::vector<double>{5});
}

TEST(ValueAxis, LabelsCarryTheDigitsTheirResolutionNeeds) {
    const struct { double v, resolution; const char* text; } rows[] = {
        {0.0125, 0.0005, "0.0125"}, {0.1 + 0.2, 0.1, "0.3"}, {-1e-17, 0.1, "0"}, {2.5e-5, 5e-6, "2.5e-5"},
        {0.000999, 1e-5, "1.00e-3"}, {42.123456789, 0, "42.1235"},
    };
    for (const auto& r : rows) EXPECT_EQ(value_label(r.v, r.resolution), r.text) << r.v << " at " << r.resolution;
    // Eigenvector values no longer all read "0.00": every grid label differs.
    CDCUtils u; recording_dc dc;
    const dc_rect rect{40, 10, 340, 180};
    u.set_scale(rect, 24, -0.27, 0.31);
    u.draw_ticrulers(dc, rect, 0, 24, -0.27, 0.31, 0);
    EXPECT_EQ(dc.texts(), (std::vector<std::string>{"-0.2", "-0.1", "0", "0.1", "0.2", "-0.270", "0.310"}));
}

// A series of 100 points drawn into [0, 400] x [0, 100] with a window over the axis.
struct zoomed_plot {
    explicit zoomed_plot(time_window w) {
        for (int t = 0; t < 100; ++t) ts.values()[t] = t % 10;
        u.set_window(w);
        const auto [lo, hi] = u.value_range({&ts}, 100);
        u.set_scale(rect, 100, lo, hi);
    }
    t_ts ts{std::vector<double>(100)};
    dc_rect rect{0, 0, 400, 100};
    CDCUtils u; recording_dc dc;
};

TEST(ZoomedDrawing, OnlyTheWindowIsDrawnCutAtItsEdges) {
    zoomed_plot p(time_window(100, 10.5, 20.5));
    p.u.draw_series(p.dc, p.ts, 0);
    const std::vector<dc_op> lines = p.dc.of(dc_op::line);
    ASSERT_FALSE(lines.empty());
    // From the left edge, at the line between points 10 and 11, to the right edge.
    EXPECT_EQ(ints({lines.front().a, lines.front().b}), ints({0, p.u.y_of(0.5)}));
    EXPECT_EQ(ints({lines.back().c, lines.back().d}), ints({400, p.u.y_of(0.5)}));
    // Markers on the points inside only: 11 to 20.
    EXPECT_EQ(p.dc.of(dc_op::ellipse).size(), 10u);
    // The value axis follows the window: 9 at point 19, 0 at 20, nothing wider.
    EXPECT_EQ(ints({p.u.y_of(9), p.u.y_of(0)}), ints({0, 100}));
    // No point in view: the one segment crosses the whole plot.
    zoomed_plot q(time_window(100, 40, 60));
    q.u.set_scale(q.rect, 4, 0, 3);
    q.u.draw_series(q.dc, std::vector<double>{0, 1, 2, 3}.data(), 4, 0);
    EXPECT_EQ(boxes(q.dc.of(dc_op::line)), (std::vector<ints>{{0, q.u.y_of(40 * 3 / 99.0), 400, q.u.y_of(60 * 3 / 99.0)}}));

}

TEST(ZoomedDrawing, DenseSeriesKeepTheEnvelopeInsideTheWindow) {
    const int n = 200000;
    t_ts ts{std::vector<double>(n)};
    for (int t = 0; t < n; ++t) ts.values()[t] = std::sin(t * 0.001) + (t == 150000 ? 5 : 0);
    CDCUtils u;
    u.set_window(time_window(n, 100000, 120000));
    const dc_rect rect{0, 0, 500, 200};
    const auto [lo, hi] = u.value_range({&ts}, n);
    // The spike at 150000 is out of view and out of the range.
    EXPECT_LT(hi, 1.0 + 1e-12);
    u.set_scale(rect, n, lo, hi);
    recording_dc dc;
    u.draw_series(dc, ts, 0);
    EXPECT_TRUE(dc.of(dc_op::ellipse).empty());
    for (const dc_op& o : dc.of(dc_op::line)) ASSERT_TRUE(o.a >= 0 && o.c <= 500 && o.b >= 0 && o.d <= 200);
}

TEST(ZoomedDrawing, GridLabelsAreTheMultiplesOfTheStepInView) {
    zoomed_plot p(time_window(100, 13, 93));
    std::vector<std::string> ticks;
    for (int t = 0; t < 100; ++t) ticks.push_back("d" + std::to_string(t));
    p.u.draw_axes(p.dc, p.rect, 1, 101, 0, 9, 0, &ticks);
    std::vector<std::string> below;
    for (const dc_op& o : p.dc.of(dc_op::text))
        if (o.b == 100) below.push_back(o.s);
    // 81 points in 400 pixels: a grid line at every eighth, on the multiples of 8 in view.
    EXPECT_EQ(below, (std::vector<std::string>{"d16", "d24", "d32", "d40", "d48", "d56", "d64", "d72", "d80", "d88"}));
}

TEST(Readout, NearestPointItsMarkAndEveryValueDrawnThere) {
    CDCUtils u;
    u.set_window(time_window(10, 2, 6));
    const dc_rect rect{100, 50, 500, 250};
    const std::vector<std::string> ticks{"1959-01", "1959-02", "1959-03", "1959-04", "1959-05",
                                         "1959-06", "1959-07", "1959-08", "1959-09", "1959-10"};
    const std::vector<double> a{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, b{0.5, 0.25, 0.125, 0.0625, 1e-7};
    u.set_scale(rect, 10, 0, 9);
    recording_dc dc;
    u.draw_axes(dc, rect, 1, 11, 0, 9, 0, &ticks);
    u.draw_series(dc, a.data(), 10, 0, "series");
    u.draw_series(dc, b.data(), 5, 10, "trend (1)");
    // 260 is 40 % across: 3.6 of the axis, nearest 4, where both series have a value.
    std::optional<readout> r = read_out(u.panels(), 260, 100);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->point, 4);
    EXPECT_EQ(r->text, "1959-05: series 4, trend (1) 1e-07");
    // Past the shorter series only the longer one is read.
    EXPECT_EQ(read_out(u.panels(), 400, 100)->text, "1959-06: series 5");
    // At the edges the line stays on a point in view; outside the frame there is none.
    EXPECT_EQ(read_out(u.panels(), 100, 100)->point, 2);
    EXPECT_FALSE(read_out(u.panels(), 99, 100));
    EXPECT_FALSE(read_out(u.panels(), 300, 251));
    // A second panel without marks numbers its points from 1, and an unnamed series is a "value".
    u.set_window(time_window());
    u.set_scale({100, 300, 500, 400}, 3, 0, 1);
    u.draw_series(dc, a.data(), 3, 0);
    EXPECT_EQ(read_out(u.panels(), 499, 350)->text, "3: value 2");
    EXPECT_EQ(u.panels().size(), 2u);
}

}  // namespace
