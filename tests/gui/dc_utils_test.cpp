#include "views/dc_utils.h"

#include <gtest/gtest.h>

#include "core/ssa_exception.h"
#include "timeseries/ts.h"
#include "views/recording_dc.h"

namespace {

bool vertical(const dc_op& o) { return o.kind == dc_op::line && o.a == o.c && o.b != o.d; }
bool horizontal(const dc_op& o) { return o.kind == dc_op::line && o.b == o.d && o.a != o.c; }
std::vector<int> box(const dc_op& o) { return {o.a, o.b, o.c, o.d}; }

TEST(Palette, PensAndBrushesByColourNumber) {
    const dc_colour blue{0, 0, 255}, red{255, 0, 0}, green{0, 150, 0}, grey{150, 150, 150}, orange{255, 128, 64},
        yellow{255, 255, 0};
    struct row {
        int colour;
        dc_colour pen;
        int width;
        dc_colour brush;
    };
    const row rows[] = {{0, blue, 1, blue},    {1, red, 1, blue},      {2, green, 1, blue},   {3, grey, 1, blue},
                        {4, orange, 1, orange}, {5, yellow, 1, yellow}, {6, blue, 2, blue},    {9, grey, 2, blue},
                        {10, orange, 2, orange}, {11, yellow, 2, yellow}, {12, blue, 1, blue}, {-1, blue, 1, blue}};
    Pens pens;
    Brushes brushes;
    for (const row& r : rows) {
        SCOPED_TRACE(r.colour);
        EXPECT_EQ(pens.pen(r.colour).colour, r.pen);
        EXPECT_EQ(pens.pen(r.colour).width, r.width);
        EXPECT_EQ(pens.pen(r.colour).style, pen_style::solid);
        EXPECT_EQ(brushes.brush(r.colour).colour, r.brush);
    }
}

TEST(Mapping, EndsOnTheEdgesFlatInTheMiddleSinglePointAtTheLeft) {
    CDCUtils u;
    u.set_scale({10, 20, 110, 220}, 11, -5, 5);
    EXPECT_EQ(u.x_of(0), 10);
    EXPECT_EQ(u.x_of(10), 110);
    EXPECT_EQ(u.x_of(3), 40);
    EXPECT_EQ(u.x_of(3.99), 49);
    EXPECT_EQ(u.y_of(-5), 220);
    EXPECT_EQ(u.y_of(5), 20);
    EXPECT_EQ(u.y_of(0.01), 119);

    u.set_scale({10, 20, 110, 221}, 11, 3, 3);
    EXPECT_EQ(u.y_of(3), 120);
    EXPECT_EQ(u.y_of(1e9), 120);

    u.set_scale({10, 20, 110, 221}, 1, 0, 1);
    EXPECT_EQ(u.x_of(0), 10);
}

TEST(GridStep, Rules) {
    struct row {
        double dx;
        int width, step;
    };
    const row rows[] = {
        {1000, 500, 500},  // p = 0: half the range
        {10, 500, 1},      // p = 55: every unit
        {100, 500, 10},    // p = 5: dx / 10
        {100, 300, 12},    // p = 3: dx / 8
        {100, 150, 25},    // p = 1: dx / 4
        {400, 10000, 20},  // p = 25: dx / 20 stays
        {1.5, 500, 1},     // dx - 1 truncates to 0: p is the width
        {1, 0, 1},         // would be 0, and the grid loop would never end
    };
    for (const row& r : rows) EXPECT_EQ(CDCUtils::grid_step(r.dx, r.width), r.step) << r.dx << " in " << r.width;
}

TEST(DrawAxes, ThousandUnitsInFiveHundredPixelsHaveOneGridLine) {
    CDCUtils u;
    const dc_rect rect{0, 0, 500, 200};
    u.set_scale(rect, 1000, 0, 1);
    recording_dc dc;
    u.draw_axes(dc, rect, 1, 1001, 0, 1, 0);
    std::vector<dc_op> lines;
    for (const dc_op& o : dc.ops)
        if (vertical(o)) lines.push_back(o);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].a, u.x_of(500));
    EXPECT_EQ(lines[0].b, 0);
    EXPECT_EQ(lines[0].d, 200);
    EXPECT_EQ(lines[0].pen, u.grid_pen);
    const std::vector<dc_op> texts = dc.of(dc_op::text);
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts[0].s, "1");
    EXPECT_EQ(texts[0].a, u.x_of(0) - 2);
    EXPECT_EQ(texts[1].s, "501");
    EXPECT_EQ(texts[1].a, u.x_of(500) - 2);
    EXPECT_EQ(texts[1].b, 200);
    EXPECT_EQ(texts[1].font, u.label_font);
    EXPECT_EQ(dc.saved_depth(), 0u);
    EXPECT_EQ(dc.font(), dc_font{});
}

TEST(DrawAxes, TickLabelsNameTheGridLines) {
    CDCUtils u;
    const dc_rect rect{0, 0, 400, 100};
    u.set_scale(rect, 5, 0, 1);
    const std::vector<std::string> ticks{"a", "b", "c", "d", "e"};
    recording_dc dc;
    u.draw_axes(dc, rect, 1, 6, 0, 1, 0, &ticks);
    const std::vector<std::string> t = dc.texts();
    EXPECT_EQ(std::vector<std::string>(t.begin(), t.begin() + 5), ticks);
}

TEST(DrawAxes, FlatSeriesIsAMiddleLineWithoutHorizontalGrid) {
    CDCUtils u;
    const dc_rect rect{40, 40, 440, 241};
    const t_ts ts(std::vector<double>(10, 7.0));
    u.set_scale(rect, ts.size(), 7, 7);
    recording_dc dc;
    u.draw_axes(dc, rect, 1, 11, 7, 7, 0);
    for (const dc_op& o : dc.ops) EXPECT_FALSE(horizontal(o));
    dc.ops.clear();
    u.draw_series(dc, ts, 0);
    const std::vector<dc_op> lines = dc.of(dc_op::line);
    ASSERT_EQ(lines.size(), 9u);
    for (const dc_op& o : lines) {
        EXPECT_EQ(o.b, 140);
        EXPECT_EQ(o.d, 140);
    }
}

TEST(DrawAxes, ZeroAxisOnlyWhenTheSeriesCrossesZero) {
    struct row {
        double ymin, ymax;
        bool axis;
    };
    const row rows[] = {{-1, 1, true}, {-3, 0.5, true}, {0, 1, false}, {-1, 0, false}, {2, 5, false}};
    for (const row& r : rows) {
        SCOPED_TRACE(r.ymin);
        CDCUtils u;
        const dc_rect rect{20, 10, 320, 210};
        u.set_scale(rect, 50, r.ymin, r.ymax);
        recording_dc dc;
        u.draw_axes(dc, rect, 1, 51, r.ymin, r.ymax, 0);
        const std::vector<dc_op> dots = dc.of(dc_op::ellipse);
        if (!r.axis) {
            EXPECT_TRUE(dots.empty());
            for (const dc_op& o : dc.ops) EXPECT_FALSE(o.kind == dc_op::line && o.pen == u.axis_pen);
            continue;
        }
        const int py = u.y_of(0);
        ASSERT_EQ(dots.size(), 1u);
        EXPECT_EQ(dots[0].a, 17);
        EXPECT_EQ(dots[0].b, py - 3);
        EXPECT_EQ(dots[0].c, 23);
        EXPECT_EQ(dots[0].brush, u.axis_brush);
        std::vector<dc_op> axis;
        for (const dc_op& o : dc.ops)
            if (o.kind == dc_op::line && o.pen == u.axis_pen) axis.push_back(o);
        ASSERT_EQ(axis.size(), 3u);
        EXPECT_EQ(std::vector<int>({axis[0].a, axis[0].b, axis[0].c, axis[0].d}), std::vector<int>({20, py, 320, py}));
        EXPECT_EQ(std::vector<int>({axis[1].c, axis[1].d}), std::vector<int>({311, py - 3}));
        EXPECT_EQ(std::vector<int>({axis[2].a, axis[2].c, axis[2].d}), std::vector<int>({320, 311, py + 3}));
    }
}

TEST(DrawTicrulers, ValueLabelsIncludeBothEndsOnEitherSide) {
    for (int side : {0, 1}) {
        CDCUtils u;
        const dc_rect rect{40, 40, 440, 240};
        u.set_scale(rect, 20, -0.004, 9.996);
        recording_dc dc;
        u.draw_ticrulers(dc, rect, 1, 21, -0.004, 9.996, side);
        const std::vector<dc_op> texts = dc.of(dc_op::text);
        ASSERT_GE(texts.size(), 3u);
        const int x = side == 0 ? 20 : 435;
        for (const dc_op& o : texts) EXPECT_EQ(o.a, x);
        const dc_op& low = texts[texts.size() - 2];
        const dc_op& high = texts.back();
        EXPECT_EQ(low.s, "-0.00");
        EXPECT_EQ(low.b, 240 - 6);
        EXPECT_EQ(high.s, "10.00");
        EXPECT_EQ(high.b, 40 - 6);
        // Grid values strictly inside the range, ascending.
        for (size_t i = 0; i + 2 < texts.size(); ++i) EXPECT_GT(texts[i].b, high.b);
    }
}

TEST(DrawTicrulers, UnknownFlanksideThrowsAndLeavesTheStateAlone) {
    CDCUtils u;
    const dc_rect rect{0, 0, 100, 100};
    u.set_scale(rect, 10, 0, 1);
    recording_dc dc;
    try {
        u.draw_ticrulers(dc, rect, 1, 11, 0, 1, 2);
        FAIL() << "no exception";
    } catch (const SSA_math_exception::ssa_exception& e) {
        EXPECT_STREQ(e.what(), "unknown flankside inside 'void CDCUtils::draw_ticrulers(...)'");
    }
    EXPECT_EQ(dc.saved_depth(), 0u);
    EXPECT_TRUE(dc.ops.empty());
}

TEST(DrawSeries, LineAndMarkerPerPointInTheColourThenThePenBack) {
    CDCUtils u;
    u.set_scale({0, 0, 30, 30}, 4, 0, 3);
    const t_ts ts(std::vector<double>{0, 3, 1, 2});
    recording_dc dc;
    u.draw_series(dc, ts, 4);
    const std::vector<dc_op> dots = dc.of(dc_op::ellipse), lines = dc.of(dc_op::line);
    ASSERT_EQ(dots.size(), 4u);
    ASSERT_EQ(lines.size(), 3u);
    const int xs[] = {0, 10, 20, 30}, ys[] = {30, 0, 20, 10};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(std::vector<int>({dots[i].a, dots[i].b, dots[i].c, dots[i].d}),
                  std::vector<int>({xs[i] - 2, ys[i] - 2, xs[i] + 2, ys[i] + 2}));
        EXPECT_EQ(dots[i].pen, u.pens().pen(4));
        EXPECT_EQ(dots[i].brush, u.brushes().brush(4));
    }
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(std::vector<int>({lines[i].a, lines[i].b, lines[i].c, lines[i].d}),
                  std::vector<int>({xs[i], ys[i], xs[i + 1], ys[i + 1]}));
    EXPECT_EQ(dc.pen(), dc_pen{});
    EXPECT_EQ(dc.brush(), (dc_brush{{255, 255, 255}}));
}

TEST(DrawSeries, DenseSeriesDrawsFourSegmentsPerColumnAndNoMarkers) {
    CDCUtils u;
    u.set_scale({0, 0, 99, 100}, 1000, -1, 1);
    std::vector<double> v(1000);
    for (size_t i = 0; i < v.size(); ++i) v[i] = (i % 7) / 3.0 - 1;
    recording_dc dc;
    u.draw_series(dc, t_ts(v), 0);
    EXPECT_TRUE(dc.of(dc_op::ellipse).empty());
    EXPECT_LE(dc.of(dc_op::line).size(), 4u * 100);
    // Four points per column is not yet dense: markers stay.
    u.set_scale({0, 0, 250, 100}, 1000, -1, 1);
    recording_dc sparse;
    u.draw_series(sparse, t_ts(v), 0);
    EXPECT_EQ(sparse.of(dc_op::ellipse).size(), 1000u);
}

TEST(DrawSeries, EnvelopeSpansEachColumnAndLeavesItFromItsLastPoint) {
    CDCUtils u;
    u.set_scale({0, 0, 2, 9}, 15, 0, 9);  // seven points a column, y = 9 - v
    const t_ts ts(std::vector<double>{0, 5, 1, 9, 3, 2, 4, 8, 1, 6, 7, 0, 3, 5, 9});
    recording_dc dc;
    u.draw_series(dc, ts, 0);
    std::vector<std::vector<int>> steps, spans;
    for (const dc_op& o : dc.of(dc_op::line)) (o.a == o.c ? spans : steps).push_back(box(o));
    EXPECT_EQ(steps, std::vector<std::vector<int>>({{0, 5, 1, 1}, {1, 4, 2, 0}}));
    // Column 1 holds y 1 .. 9 (values 8 .. 0).
    bool covered = false;
    for (const std::vector<int>& s : spans) covered = covered || (s[0] == 1 && std::min(s[1], s[3]) == 1 && std::max(s[1], s[3]) == 9);
    EXPECT_TRUE(covered);
}

TEST(Legend, EntryAndHeaderPositions) {
    CDCUtils u;
    recording_dc dc;
    u.draw_legend_entry(dc, 100, 50, "trend", 1);
    const std::vector<dc_op> lines = dc.of(dc_op::line);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(std::vector<int>({lines[0].a, lines[0].c, lines[1].a, lines[1].c, lines[1].d}),
              std::vector<int>({100, 115, 115, 130, 50}));
    EXPECT_EQ(lines[0].pen, u.pens().pen(1));
    ASSERT_EQ(dc.of(dc_op::ellipse).size(), 1u);
    EXPECT_EQ(dc.of(dc_op::ellipse)[0].a, 113);
    EXPECT_EQ(dc.of(dc_op::text)[0].a, 135);
    EXPECT_EQ(dc.of(dc_op::text)[0].b, 42);

    dc.ops.clear();
    u.draw_header(dc, 20, 15, "N=3");
    ASSERT_EQ(dc.ops.size(), 1u);
    EXPECT_EQ(dc.ops[0].b, 7);
    EXPECT_EQ(dc.ops[0].font, u.header_font);
    EXPECT_EQ(dc.font(), dc_font{});
}

TEST(MinMax, OfSeriesAndTimeSeries) {
    const t_ts ts(std::vector<double>{3, -2, 8, -2});
    EXPECT_EQ(CDCUtils::min_of(ts), -2);
    EXPECT_EQ(CDCUtils::max_of(ts.values()), 8);
    EXPECT_EQ(CDCUtils::min_of(t_ts(std::vector<double>{4})), 4);
    EXPECT_THROW(CDCUtils::max_of(series(0)), SSA_math_exception::ssa_exception);
}

}  // namespace
