#include "draw/dc_utils.h"

#include <gtest/gtest.h>

#include "../model/test_util.h"
#include "paint_probe.h"
#include "timeseries/ts.h"

namespace {

struct plot {
    plot(dc_rect r, int n, double lo, double hi) : rect(r) { u.set_scale(r, n, lo, hi); }
    dc_rect rect;
    CDCUtils u; recording_dc dc;
};

TEST(Mapping, EndsOnTheEdgesFlatInTheMiddleSinglePointAtTheLeft) {
    CDCUtils u;
    u.set_scale({10, 20, 110, 220}, 11, -5, 5);
    EXPECT_EQ(ints({u.x_of(0), u.x_of(10), u.x_of(3.99)}), ints({10, 110, 49}));
    EXPECT_EQ(ints({u.y_of(-5), u.y_of(5), u.y_of(0.01)}), ints({220, 20, 119}));
    u.set_scale({10, 20, 110, 221}, 11, 3, 3);
    EXPECT_EQ(ints({u.y_of(3), u.y_of(1e9)}), ints({120, 120}));
    u.set_scale({10, 20, 110, 221}, 1, 0, 1);
    EXPECT_EQ(u.x_of(0), 10);
}

TEST(GridStep, Rules) {
    const struct { double dx; int width, step; } rows[] = {
        {10, 500, 1}, {100, 150, 25},
        {1.5, 500, 1},     // dx - 1 truncates to 0: p is the width
        {1, 0, 1},         // would be 0, and the grid loop would never end
        {1, 5, 1},         // a single value in a narrow window: dx / 10 is 0 too
    };
    for (const auto& r : rows) EXPECT_EQ(CDCUtils::grid_step(r.dx, r.width), r.step) << r.dx << " in " << r.width;
}

TEST(DrawAxes, ThousandUnitsInFiveHundredPixelsHaveOneGridLine) {
    plot p({0, 0, 500, 200}, 1000, 0, 1);
    auto& [rect, u, dc] = p;
    u.draw_axes(dc, rect, 1, 1001, 0, 1, 0);
    std::vector<dc_op> grid;
    for (const dc_op& o : dc.of(dc_op::line))
        if (o.a == o.c) grid.push_back(o);
    ASSERT_EQ(grid.size(), 1u);
    EXPECT_EQ(box(grid[0]), ints({u.x_of(500), 0, u.x_of(500), 200}));
    const std::vector<dc_op> texts = dc.of(dc_op::text);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[1].s, "501");
    EXPECT_EQ(ints({texts[1].a, texts[1].b}), ints({u.x_of(500) - 2, 200}));
}

TEST(DrawAxes, FlatSeriesIsAMiddleLineWithoutHorizontalGrid) {
    plot p({40, 40, 440, 241}, 10, 7, 7);
    p.u.draw_axes(p.dc, p.rect, 1, 11, 7, 7, 0);
    for (const dc_op& o : p.dc.of(dc_op::line)) EXPECT_FALSE(o.b == o.d && o.a != o.c) << "horizontal";
}

TEST(DrawAxes, ZeroAxisOnlyWhenTheSeriesCrossesZero) {
    for (const double lo : {-3.0, 0.0}) {
        plot p({20, 10, 320, 210}, 50, lo, 0.5);
        p.u.draw_axes(p.dc, p.rect, 1, 51, lo, 0.5, 0);
        std::vector<ints> axis;
        for (const dc_op& o : p.dc.ops)
            if (o.pen == p.u.axis_pen) axis.push_back(box(o));
        const int py = p.u.y_of(0);
        EXPECT_EQ(axis, lo < 0 ? std::vector<ints>({{17, py - 3, 23, py + 3}, {20, py, 320, py}, {320, py, 311, py - 3},
                                                    {320, py, 311, py + 3}})
                               : std::vector<ints>()) << lo;
    }
}

TEST(DrawTicrulers, ValueLabelsIncludeBothEndsOnEitherSide) {
    for (int side : {0, 1}) {
        plot p({40, 40, 440, 240}, 20, -0.004, 9.996);
        auto& [rect, u, dc] = p;
        u.draw_ticrulers(dc, rect, 1, 21, -0.004, 9.996, side);
        // The nearest 1-2-5 step; the ends read to a thousandth of the range (-0.004 rounds to 0).
        EXPECT_EQ(dc.texts(), (std::vector<std::string>{"1", "2", "3", "4", "5", "6", "7", "8", "9", "0", "10.00"}));
        // Clear of the frame: ending 3 pixels before it on the left, starting 3 after it on the right.
        for (const dc_op& o : dc.of(dc_op::text))
            EXPECT_EQ(side == 0 ? o.a + dc.text_width(o.s) : o.a, side == 0 ? 37 : 443) << o.s;
        const std::vector<dc_op> texts = dc.of(dc_op::text);
        EXPECT_EQ(ints({texts[0].b, texts[9].b, texts[10].b}), ints({u.y_of(1) - 6, 240 - 6, 40 - 6}));
    }
}

TEST(DrawTicrulers, UnknownFlanksideThrowsAndLeavesTheStateAlone) {
    plot p({0, 0, 100, 100}, 10, 0, 1);
    EXPECT_EQ(thrown([&] { p.u.draw_ticrulers(p.dc, p.rect, 1, 11, 0, 1, 2); }),
              "unknown flankside inside 'void CDCUtils::draw_ticrulers(...)'");
    EXPECT_TRUE(p.dc.saved_depth() == 0 && p.dc.ops.empty());
}

TEST(DrawSeries, LineAndMarkerPerPointInTheColourThenThePenBack) {
    plot p({0, 0, 30, 30}, 4, 0, 3);
    auto& [rect, u, dc] = p;
    u.draw_series(dc, t_ts(std::vector<double>{0, 3, 1, 2}), 4);
    // Marker, line to the next point, marker, ...
    EXPECT_EQ(boxes(dc.ops), std::vector<ints>({{-2, 28, 2, 32}, {0, 30, 10, 0}, {8, -2, 12, 2}, {10, 0, 20, 20},
                                                {18, 18, 22, 22}, {20, 20, 30, 10}, {28, 8, 32, 12}}));
    EXPECT_EQ(dc.pen(), dc_pen{});  // the pen put back
}

TEST(DrawSeries, EnvelopeOnlyPastFourPointsAColumn) {
    for (const auto& [n, markers] : {std::pair(1000, 1000u), std::pair(1750, 0u)}) {
        plot p({0, 0, 250, 100}, n, -1, 1);
        p.u.draw_series(p.dc, t_ts(std::vector<double>(n, 0.5)), 0);
        EXPECT_EQ(p.dc.of(dc_op::ellipse).size(), markers) << n;
    }
}

}  // namespace
