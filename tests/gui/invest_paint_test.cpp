#include "draw/invest_paint.h"
#include "draw/periodogram_paint.h"

#include <gtest/gtest.h>
#include <cmath>
#include <limits>

#include "../model/test_util.h"
#include "decomp/svd.h"
#include "invest/constraint.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"
#include "paint_probe.h"
#include "timeseries/ts.h"

namespace {

// A level, a sine of period 10 and irregular noise: every component in use.
t_ts mixed(int n, double scale = 1) {
    std::vector<double> v;
    for (int t = 0; t < n; ++t) v.push_back(scale * (3 + std::sin(2 * M_PI * t / 10) + 0.3 * std::cos(1.3 * t * t)));
    return t_ts(v);
}

const dc_pen orange{pen_style::solid, 2, {255, 128, 64}};
const dc_colour blue{0, 0, 255};

std::vector<dc_op> with(const recording_dc& dc, dc_op::kind_t kind, const dc_colour& c) {
    std::vector<dc_op> out;
    for (const dc_op& o : dc.of(kind))
        if (o.pen.colour == c) out.push_back(o);
    return out;
}
std::vector<dc_op> drawn_with(const recording_dc& dc, const dc_pen& pen) {
    std::vector<dc_op> out;
    for (const dc_op& o : dc.ops)
        if (o.pen == pen) out.push_back(o);
    return out;
}

TEST(SvdPaint, SevenEigentriplesFillThreeRowsAndScroll573) {
    SVD::t_svd svd(mixed(60), 20);
    svd.set_count(7);
    // Plot width 600: cells of 200 from x = 30, rows of 200 from y = 20.
    EXPECT_EQ(svd_scroll_size(svd, svd_eigenvectors, 650), (dc_size{630, 573}));
    EXPECT_EQ(svd_scroll_size(svd, svd_singular_values, 650), initial_scroll_size);
    for (int kind : {svd_eigenvectors, svd_factor_vectors}) {
        CDCUtils u; recording_dc dc;
        paint_svd_view(dc, u, svd, kind, 650, 400);
        const std::vector<dc_op> frames = dc.of(dc_op::rectangle);
        ASSERT_EQ(frames.size(), 7u);
        EXPECT_EQ(box(frames[6]), ints({45, 435, 215, 605}));
        // One marker per coordinate: L for eigenvectors, K for factor vectors.
        EXPECT_EQ(with(dc, dc_op::ellipse, blue).size(), size_t(7 * (kind == svd_eigenvectors ? 20 : 41)));
        const dc_op caption = dc.of(dc_op::text).back();
        const std::string head = "#7, contribution = %";
        ASSERT_EQ(caption.s.substr(0, head.size()), head);
        EXPECT_NEAR(leading_number(caption.s.substr(head.size())), svd.contribution(6) * 100, 5e-4);
    }
}

TEST(SvdPaint, LogarithmedValuesAreScaledLinearlyAndCrossZero) {
    SVD::t_svd svd(mixed(60, 0.2), 20);
    const int m = svd.count();
    auto lg = [&](int c) { return std::log(std::sqrt(svd.eigenvalue(c))); };
    ASSERT_TRUE(lg(0) > 0 && lg(m - 1) < 0);
    CDCUtils u; recording_dc dc;
    paint_svd_view(dc, u, svd, svd_log_singular_values, 430, 340);
    // Plot area (30, 40) to (410, 320).
    const std::vector<dc_op> markers = with(dc, dc_op::ellipse, blue);
    ASSERT_EQ(markers.size(), size_t(m));
    for (int c = 0; c < m; ++c)
        EXPECT_NEAR((markers[c].b + markers[c].d) / 2.0, 40 + 280 * (lg(0) - lg(c)) / (lg(0) - lg(m - 1)), 1.0);
    // The zero axis' dot on the left edge, where log 1 = 0 lies.
    const double y0 = 40 + 280 * lg(0) / (lg(0) - lg(m - 1));
    bool axis = false;
    for (const dc_op& o : with(dc, dc_op::ellipse, {0, 0, 0})) axis |= o.a == 27 && std::abs((o.b + o.d) / 2.0 - y0) <= 1;
    EXPECT_TRUE(axis);
}

TEST(SvdPaint, UnknownKindsThrow) {
    SVD::t_svd svd(mixed(40), 10);
    CDCUtils u; recording_dc dc;
    for (int kind : {-1, 5})
        EXPECT_EQ(thrown([&] { paint_svd_view(dc, u, svd, kind, 400, 300); }),
                  "unknown objects for drawing inside \"CSVDView::OnDraw(...)\"");
}

TEST(InvestPlot, OneScaleTakesTheUnionTwoScalesLabelTheReconstructionOnTheRight) {
    const t_ts ts(std::vector<double>{0, 4, 2, 8, 5});
    const t_ts rec(std::vector<double>{1, 2, 3, 10, 5});
    for (bool two : {false, true}) {
        CDCUtils u; recording_dc dc;
        paint_invest_plot(dc, u, {&ts, &rec, two}, 400, 300);
        const int right = two ? 360 : 380;
        EXPECT_EQ(box(dc.of(dc_op::rectangle).at(0)), ints({40, 40, right, 280}));
        // The series' 8 lies under the reconstruction's 10 on one scale, at the top on two.
        EXPECT_EQ(with(dc, dc_op::ellipse, blue).at(3).b + 2, two ? 40 : 88);
        const std::vector<dc_op> rec_ops = drawn_with(dc, orange);
        // Lines only, no markers; its 10 on the top edge either way.
        ASSERT_EQ(rec_ops.size(), 4u);
        for (const dc_op& o : rec_ops) EXPECT_EQ(o.kind, dc_op::line);
        EXPECT_EQ(rec_ops[2].d, 40);
        bool right_label = false;
        for (const dc_op& o : dc.of(dc_op::text)) right_label |= o.a == right + 3 && o.s == "10.00";
        EXPECT_EQ(right_label, two);
    }
}

TEST(PeriodHeader, PairsOverThePercent) {
    t_period_invest inv(mixed(50));
    inv.set_amount(6);
    inv.set_L(12);
    // Contributions fall with the component: 0, 1 and 2 lie above the percent, 3 and 5 below.
    const SVD::t_svd& svd = *inv.get_svd();
    ASSERT_GT(svd.contribution(2), 0.0125);
    ASSERT_LT(svd.contribution(3), 0.0125);
    inv.min_percent = 1.25;
    inv.get_pairs() = {{1, 2}, {5, 5}, {0, 0}, {2, 3}, {0, 2}};
    EXPECT_EQ(period_header_line2(inv), "Min contrib.=1.25, components included : (2,3), 1, (1,3)");
    inv.get_pairs() = {{3, 4}};  // below the percent: none listed
    inv.set_approx_mode(1);
    inv.max_components = 7;
    EXPECT_EQ(period_header_line2(inv), "Max comp-nts amount=7");
}

TEST(Legend, NamesTheSeriesAndTheResultInsideTheFrameOnlyWhenAsked) {
    t_trend_invest trend(mixed(50));
    trend.get_components() = {0, 3, 6};
    t_period_invest period(mixed(50));
    period.get_pairs() = {{1, 2}, {4, 4}};
    EXPECT_EQ(period_legend(period), "periodic (2-3, 5)");
    const t_ts ts = mixed(40), rec = mixed(40, 0.5);
    const auto legend_texts = [](const recording_dc& dc) {
        std::vector<std::string> out;
        for (const dc_op& o : dc.of(dc_op::text))
            if (o.font == dc_font{"Helvetica", 8} && o.a > 300 && o.b < 100) out.push_back(o.s);
        return out;
    };
    for (bool legend : {false, true}) {
        CDCUtils u; recording_dc dc;
        paint_invest_plot(dc, u, {&ts, &rec, false, trend_legend(trend), legend}, 500, 300);
        const std::vector<std::string> named{"series", "trend (1, 4, 7)"};
        EXPECT_EQ(legend_texts(dc), legend ? named : std::vector<std::string>());
        // Both series keep the names for the read-out.
        ASSERT_EQ(u.panels().size(), 1u);
        EXPECT_EQ(u.panels()[0].series.back().name, "trend (1, 4, 7)");
    }
}

// Four points of a series and six of its forecast.
const t_ts ts(std::vector<double>{1, 3, 2, 4});
const t_ts fc(std::vector<double>{1, 2, 3, 4, 5, 6});

// Under the lines, one column per pixel over the forecast's points; the axis takes the continued marks.
TEST(ForecastPaint, TheBandShadesTheForecastsPointsUnderTheLines) {
    const series lower(std::vector<double>{4, 3}), upper(std::vector<double>{6, 9});
    const std::vector<std::string> marks = {"1999", "2000", "2001", "2002", "2003", "2004"};
    CDCUtils u; recording_dc dc;
    paint_forecast_view(dc, u, {"N=4, L=2", &ts, &fc, &ts, false, &lower, &upper, &marks}, 400, 300);
    const dc_pen band{pen_style::solid, 1, {200, 215, 240}};
    const std::vector<dc_op> columns = drawn_with(dc, band);
    // Points 5 and 6 at 40 + 4 * 340 / 5 = 312 and 380: a column on every pixel between.
    ASSERT_EQ(columns.size(), 380u - 312u + 1u);
    for (size_t k = 0; k < columns.size(); ++k) {
        EXPECT_EQ(columns[k].a, 312 + static_cast<int>(k));
        EXPECT_EQ(columns[k].c, columns[k].a);
    }
    EXPECT_EQ(columns.back().d, 40) << "the upper bound 9 is the top of the range";
    EXPECT_EQ(columns.back().b, 40 + (9 - 3) * 240 / 8);
    // Drawn before the lines, which stay on top.
    const auto first = [&](const dc_pen& pen) {
        for (size_t i = 0; i < dc.ops.size(); ++i)
            if (dc.ops[i].kind == dc_op::line && dc.ops[i].pen == pen) return i;
        return dc.ops.size();
    };
    EXPECT_LT(first(band), first(orange));
    const std::vector<std::string> texts = dc.texts();
    EXPECT_NE(std::find(texts.begin(), texts.end(), "2004"), texts.end());
}

// Runaway bounds (huge, infinite, not a number) widen the range by at most the lines' span.
TEST(ForecastPaint, RunawayBoundsNeitherFlattenTheLinesNorLeaveTheFrame) {
    const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
    const series lower(std::vector<double>{-1e18, nan}), upper(std::vector<double>{3e18, inf});
    CDCUtils u; recording_dc dc;
    paint_forecast_view(dc, u, {"N=4, L=2", &ts, &fc, &ts, false, &lower, &upper}, 400, 300);
    const std::vector<dc_op> columns = drawn_with(dc, dc_pen{pen_style::solid, 1, {200, 215, 240}});
    ASSERT_FALSE(columns.empty());
    // The lines span 1..6, so the scale runs from 1 - 5 to 6 + 5: the series' 4 sits inside, not on an edge.
    const int top = 40, bottom = 280;
    EXPECT_EQ(u.y_of(11), top);
    EXPECT_EQ(u.y_of(-4), bottom);
    for (const dc_op& c : columns) {
        EXPECT_GE(std::min(c.b, c.d), top);
        EXPECT_LE(std::max(c.b, c.d), bottom);
    }
}

TEST(ForecastPaint, TheForecastRunsPastTheSeriesUnderTheHeader) {
    CDCUtils u; recording_dc dc;
    paint_forecast_view(dc, u, {"N=4, L=2", &ts, &fc, &ts, false}, 400, 300);
    EXPECT_EQ(dc.ops.back().s, "N=4, L=2");
    // Six points over (40, 380): the forecast's 6 top right, the series' last at the fourth.
    const std::vector<dc_op> fc_lines = drawn_with(dc, orange);
    ASSERT_EQ(fc_lines.size(), 5u);
    EXPECT_EQ(ints({fc_lines.back().c, fc_lines.back().d}), ints({380, 40}));
    EXPECT_EQ(with(dc, dc_op::ellipse, blue).at(3).a + 2, 40 + 3 * 340 / 5);
    // A header wider than the window breaks after a comma; what does not fit the second line is cut.
    const auto header = [&](const std::string& text, int width) {
        recording_dc d;
        paint_forecast_view(d, u, {text, &ts, &fc, &ts, false}, width, 300);
        std::vector<std::string> lines;
        for (const dc_op& o : d.of(dc_op::text))
            if (o.a == 20) {
                EXPECT_LE(20 + d.text_width(o.s), width - 20) << o.s;
                EXPECT_LT(o.b, 30) << o.s;
                lines.push_back(o.s);
            }
        return lines;
    };
    const std::string components = "N=400, L=200, K=201, #C=200, signal components: 1, 2, 3, 4, 5";
    EXPECT_EQ(header(components, 400),
              (std::vector<std::string>{"N=400, L=200, K=201, #C=200, signal components: 1, 2, 3, 4,", "5"}));
    std::string many = components;
    for (int k = 6; k < 60; ++k) many += ", " + std::to_string(k);
    const std::vector<std::string> cut = header(many, 400);
    ASSERT_EQ(cut.size(), 2u);
    EXPECT_EQ(cut[1].substr(cut[1].size() - 3), "...");
}

TEST(PeriodogramPaint, PowerAcrossTheFrameAndThePeakLabelledAtItsFrequency) {
    std::vector<double> u;
    for (int t = 0; t < 234; ++t) u.push_back(std::cos(2 * M_PI * t / 12 + 0.3));
    const periodogram p = vectors_periodogram({u.data()}, 234);
    const dc_rect r{40, 20, 440, 220};
    recording_dc dc;
    CDCUtils utils;
    paint_periodogram(dc, utils, r, p);
    const std::vector<dc_op> power = with(dc, dc_op::line, blue);
    ASSERT_EQ(power.size(), p.power.size() - 1);
    EXPECT_EQ(power.front().a, r.left);
    EXPECT_EQ(power.back().c, r.right);  // 234 is even: the last bin is 1/2
    // The marker stands between the bins 19 and 20, at 234 / 12 = 19.5 of 117.
    const dc_pen dotted_red{pen_style::dotted, 1, {255, 0, 0}};
    const std::vector<dc_op> marker = with(dc, dc_op::line, dotted_red.colour);
    ASSERT_EQ(marker.size(), 1u);
    const int x = r.left + static_cast<int>(19.5 * 400 / 117);
    EXPECT_NEAR(marker[0].a, x, 1);
    EXPECT_EQ(marker[0].b, r.top);
    EXPECT_EQ(marker[0].d, r.bottom);
    EXPECT_EQ(dc.texts().back(), "period 12.00");
    EXPECT_EQ(dc.of(dc_op::text).back().a, marker[0].a + 3);
    // Frequencies under the frame, as densely as their texts leave room.
    recording_dc narrow;
    paint_periodogram(narrow, utils, {40, 20, 190, 120}, p);
    EXPECT_EQ(narrow.texts(), (std::vector<std::string>{"0", "0.25", "0.5", "period 12.00"}));
    // A peak at the right edge keeps its label inside the frame; a trend has no peak to mark.
    std::vector<double> fast, level(50, 1.0);
    for (int t = 0; t < 50; ++t) fast.push_back(std::cos(2 * M_PI * t * 0.49));
    recording_dc right, flat;
    paint_periodogram(right, utils, r, vectors_periodogram({fast.data()}, 50));
    const dc_op label = right.of(dc_op::text).back();
    EXPECT_LE(label.a + recording_dc::char_width * static_cast<int>(label.s.size()), r.right - 2);
    paint_periodogram(flat, utils, r, vectors_periodogram({level.data()}, 50));
    EXPECT_EQ(flat.texts().back(), "period -");
    EXPECT_TRUE(with(flat, dc_op::line, dotted_red.colour).empty());
}

}  // namespace
