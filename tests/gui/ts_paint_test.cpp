#include "draw/ts_paint.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "paint_probe.h"
#include "timeseries/ts.h"

namespace {

t_ts named(const std::vector<double>& v, const std::string& title) {
    t_ts ts(v);
    ts.set_title(title);
    return ts;
}

TEST(TsViewPaint, MarginsTickLabelsSeriesAndHeader) {
    CDCUtils u;
    recording_dc empty;
    paint_ts_view(empty, u, t_ts(std::vector<double>{}), 400, 300);
    EXPECT_TRUE(empty.ops.empty());
    recording_dc dc;
    t_ts ts(std::vector<double>{0, 4, 2, 8, 5});
    const std::vector<std::string> ticks{"Jan", "Feb", "Mar", "Apr", "May"};
    ts.set_ticks(&ticks);
    paint_ts_view(dc, u, ts, 400, 300);
    EXPECT_EQ(box(dc.of(dc_op::rectangle).at(0)), ints({40, 40, 380, 280}));
    const std::vector<std::string> texts = dc.texts();
    EXPECT_EQ(std::vector<std::string>(texts.begin(), texts.begin() + 5), ticks);
    EXPECT_EQ(texts.back(), "N=5");
    // Markers of radius 2; the greatest value on the top edge.
    EXPECT_EQ(box(dc.of(dc_op::ellipse).at(3)), ints({293, 38, 297, 42}));
    // A computed series carries empty tick marks: the axis is numbered, not blank.
    recording_dc computed;
    paint_ts_view(computed, u, t_ts(std::vector<double>{0, 4}), 400, 300);
    EXPECT_EQ(computed.texts().at(0), "1");
}

TEST(TsGroupPaint, FourSeriesSeparateFillTwoRowsOfThree) {
    std::vector<t_ts> s;
    for (int i = 0; i < 4; ++i) s.push_back(named({0, 1.0 * i, 2, 1}, "c" + std::to_string(i + 1)));
    const ts_group_plot g{"Group", 0, {&s[0], &s[1], &s[2], &s[3]}};
    CDCUtils u; recording_dc dc;
    paint_ts_group(dc, u, g, 620, 400);
    // Plot width 570: cells of 190 from x = 30, rows of 150 from y = 35.
    EXPECT_EQ(boxes(dc.of(dc_op::rectangle)),
              std::vector<ints>({{45, 50, 205, 170}, {235, 50, 395, 170}, {425, 50, 585, 170}, {45, 200, 205, 320}}));
    // Scrolled over its rows; overlaid, it fits the window.
    EXPECT_EQ(ts_group_scroll_size(g, 620).height, 35 + 2 * 150);
    EXPECT_EQ(ts_group_scroll_size({"Group", 1, g.series}, 620), initial_scroll_size);
}

TEST(TsGroupPaint, EmptyGroup) {
    CDCUtils u;
    recording_dc overlaid, separate;
    paint_ts_group(overlaid, u, {"Empty", 1, {}}, 500, 400);
    EXPECT_EQ(overlaid.texts(), std::vector<std::string>({"Empty", "Nothing to draw, empty TS group"}));
    paint_ts_group(separate, u, {"Empty", 0, {}}, 500, 400);
    EXPECT_EQ(separate.texts(), std::vector<std::string>({"Empty"}));
    EXPECT_EQ(separate.ops.size(), 1u);
}

TEST(TsGroupPaint, OverlaidSharesTheRangeAndColoursTheLegend) {
    std::vector<t_ts> s;
    for (int i = 0; i < 13; ++i) s.push_back(named({1.0 * i, -1.0 * i, 0.5}, "s" + std::to_string(i)));
    ts_group_plot g{"All", 1, {}};
    for (const t_ts& t : s) g.series.push_back(&t);
    CDCUtils u; recording_dc dc;
    paint_ts_group(dc, u, g, 700, 500);
    // Legend lines from x = 515 to 530, 15 pixels apart from y = 50; the 13th blue again.
    const std::vector<dc_op> lines = dc.of(dc_op::line);
    const auto last = std::find_if(lines.rbegin(), lines.rend(), [](const dc_op& o) { return o.a == 515; });
    ASSERT_NE(last, lines.rend());
    EXPECT_EQ(std::pair(last->b, last->pen.colour), std::pair(50 + 15 * 12, dc_colour{0, 0, 255}));
    EXPECT_EQ(dc.of(dc_op::text).back().s, "s12");
    // The common range -12 .. 12 puts the end labels on the plot's edges.
    int ends = 0;
    for (const dc_op& o : dc.of(dc_op::text)) ends += (o.s == "-12.00" && o.b == 474) + (o.s == "12.00" && o.b == 29);
    EXPECT_EQ(ends, 2);
}

}  // namespace
