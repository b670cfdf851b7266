#include "views/ts_paint.h"

#include <gtest/gtest.h>

#include "timeseries/ts.h"
#include "views/recording_dc.h"

namespace {

t_ts named(const std::vector<double>& v, const std::string& title) {
    t_ts ts(v);
    ts.set_title(title);
    return ts;
}

std::vector<int> box(const dc_op& o) { return {o.a, o.b, o.c, o.d}; }

TEST(TsViewPaint, EmptySeriesDrawsNothing) {
    CDCUtils u;
    recording_dc dc;
    paint_ts_view(dc, u, t_ts(std::vector<double>{}), 400, 300);
    EXPECT_TRUE(dc.ops.empty());
}

TEST(TsViewPaint, FrameInsideTheMarginsAxesFromOneAndTheHeader) {
    CDCUtils u;
    recording_dc dc;
    t_ts ts(std::vector<double>{0, 4, 2, 8, 5});
    const std::vector<std::string> ticks{"Jan", "Feb", "Mar", "Apr", "May"};
    ts.set_ticks(&ticks);
    paint_ts_view(dc, u, ts, 400, 300);
    const std::vector<dc_op> rects = dc.of(dc_op::rectangle);
    ASSERT_EQ(rects.size(), 1u);
    EXPECT_EQ(box(rects[0]), std::vector<int>({40, 40, 380, 280}));
    const std::vector<std::string> texts = dc.texts();
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5), ticks);
    EXPECT_EQ(texts.back(), "N=5");
    EXPECT_EQ(dc.ops.back().a, 20);
    EXPECT_EQ(dc.ops.back().b, 15);
    EXPECT_EQ(dc.ops.back().font, (dc_font{"Helvetica", 10}));
    // The series in blue with markers of radius 2; the greatest value on the top edge.
    const std::vector<dc_op> dots = dc.of(dc_op::ellipse);
    ASSERT_EQ(dots.size(), 5u);
    EXPECT_EQ(dots[3].pen.colour, (dc_colour{0, 0, 255}));
    EXPECT_EQ(box(dots[3]), std::vector<int>({40 + 3 * 85 - 2, 38, 40 + 3 * 85 + 2, 42}));
}

TEST(TsGroupPaint, FourSeriesSeparateFillTwoRowsOfThree) {
    std::vector<t_ts> s;
    for (int i = 0; i < 4; ++i) s.push_back(named({0, 1.0 * i, 2, 1}, "c" + std::to_string(i + 1)));
    ts_group_plot g{"Group", 0, {&s[0], &s[1], &s[2], &s[3]}};
    CDCUtils u;
    recording_dc dc;
    paint_ts_group(dc, u, g, 620, 400);

    // Plot width 570: cells of 190 from x = 30, rows of 150 from y = 35.
    const std::vector<dc_op> rects = dc.of(dc_op::rectangle);
    ASSERT_EQ(rects.size(), 4u);
    EXPECT_EQ(box(rects[0]), std::vector<int>({45, 50, 205, 170}));
    EXPECT_EQ(box(rects[1]), std::vector<int>({235, 50, 395, 170}));
    EXPECT_EQ(box(rects[2]), std::vector<int>({425, 50, 585, 170}));
    EXPECT_EQ(box(rects[3]), std::vector<int>({45, 200, 205, 320}));
    const std::vector<dc_op> texts = dc.of(dc_op::text);
    EXPECT_EQ(texts[0].s, "Group");
    EXPECT_EQ(std::vector<int>({texts[0].a, texts[0].b}), std::vector<int>({20, 8}));
    std::vector<dc_op> names;
    for (const dc_op& o : texts)
        if (o.s.size() == 2 && o.s[0] == 'c') names.push_back(o);
    ASSERT_EQ(names.size(), 4u);
    EXPECT_EQ(std::vector<int>({names[3].a, names[3].b}), std::vector<int>({40, 187}));
    EXPECT_EQ(names[3].font, (dc_font{"Helvetica", 8}));
    // Green series with the group's markers of radius 1; labels numbered from 1 up to the length.
    for (const dc_op& o : dc.of(dc_op::ellipse)) {
        EXPECT_EQ(o.pen.colour, (dc_colour{0, 150, 0}));
        EXPECT_EQ(o.c - o.a, 2);
    }
    EXPECT_EQ(ts_group_scroll_size(g, 620), (dc_size{600, 335}));
}

TEST(TsGroupPaint, ScrollHeightGrowsByRowsOnlyInSeparateStyle) {
    std::vector<t_ts> s(7, t_ts(std::vector<double>{1, 2}));
    ts_group_plot g{"", 0, {}};
    const int heights[] = {135, 185, 235, 285, 335, 385, 435, 485};
    for (int n = 0; n <= 7; ++n) {
        g.series.assign(n, &s[0]);
        EXPECT_EQ(ts_group_scroll_size(g, 500).height, heights[n]) << n;
    }
    g.style = 1;
    EXPECT_EQ(ts_group_scroll_size(g, 500), initial_scroll_size);
}

TEST(TsGroupPaint, EmptyGroup) {
    CDCUtils u;
    recording_dc overlaid, separate;
    paint_ts_group(overlaid, u, {"Empty", 1, {}}, 500, 400);
    EXPECT_EQ(overlaid.texts(), std::vector<std::string>({"Empty", "Nothing to draw, empty TS group"}));
    EXPECT_EQ(overlaid.ops.back().a, 130);
    EXPECT_EQ(overlaid.ops.back().b, 135);
    ASSERT_EQ(overlaid.of(dc_op::rectangle).size(), 1u);
    EXPECT_EQ(box(overlaid.of(dc_op::rectangle)[0]), std::vector<int>({30, 35, 310, 380}));

    paint_ts_group(separate, u, {"Empty", 0, {}}, 500, 400);
    ASSERT_EQ(separate.ops.size(), 1u);
    EXPECT_EQ(separate.texts()[0], "Empty");
}

TEST(TsGroupPaint, OverlaidSharesTheRangeAndColoursTheLegend) {
    std::vector<t_ts> s;
    for (int i = 0; i < 13; ++i) s.push_back(named({1.0 * i, -1.0 * i, 0.5}, "s" + std::to_string(i)));
    ts_group_plot g{"All", 1, {}};
    for (const t_ts& t : s) g.series.push_back(&t);
    CDCUtils u;
    recording_dc dc;
    paint_ts_group(dc, u, g, 700, 500);

    // Legend lines from x = 515 to 530, 15 pixels apart from y = 50, titles beside them.
    std::vector<dc_op> legend;
    for (const dc_op& o : dc.of(dc_op::line))
        if (o.a == 515) legend.push_back(o);
    ASSERT_EQ(legend.size(), 13u);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(std::vector<int>({legend[i].b, legend[i].c}), std::vector<int>({50 + 15 * i, 530}));
        EXPECT_EQ(legend[i].pen, u.pens().pen(i));
    }
    EXPECT_EQ(legend[12].pen.colour, (dc_colour{0, 0, 255}));
    const std::vector<dc_op> texts = dc.of(dc_op::text);
    EXPECT_EQ(texts.back().s, "s12");
    EXPECT_EQ(std::vector<int>({texts.back().a, texts.back().b}), std::vector<int>({535, 50 + 15 * 12 - 6}));
    // The common range -12 .. 12 puts the end labels on the plot's edges.
    bool low = false, high = false;
    for (const dc_op& o : texts) {
        low = low || (o.s == "-12.00" && o.b == 480 - 6);
        high = high || (o.s == "12.00" && o.b == 35 - 6);
    }
    EXPECT_TRUE(low && high);
}

}  // namespace
