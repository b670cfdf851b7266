#include <gtest/gtest.h>

#include <algorithm>

#include "../app/app_series.h"
#include "app/decomp_result_doc.h"
#include "decomp/svd.h"
#include "paint_probe.h"
#include "timeseries/ts.h"
#include "gui/decomp_result_view.h"

namespace {

struct decomposition {
    decomposition(std::vector<int> trend, std::vector<int> periodic, int style) {
        const t_ts ts = trend_sine_alternating();
        const SVD::t_svd svd(ts, 30);
        doc.set_original(ts);
        const t_reconstructed_tss rec(&svd, 5);
        doc.set_result(decompose_final(&rec, trend, periodic));
        doc.set_style(style);
    }
    decomp_plot plot() const { return decomp_plot_of(doc); }
    CDecompResultDoc doc;
};

std::vector<std::string> titles(const recording_dc& dc) {
    std::vector<std::string> out;
    for (const dc_op& o : dc.of(dc_op::text))
        if (o.font == dc_font{"Helvetica", 10}) out.push_back(o.s);
    return out;
}

TEST(DecompPaint, SeparateStacksFourPlotsTitledAboveTheirFrames) {
    const struct { std::vector<int> trend, periodic; std::vector<std::string> shown; } cases[] = {
        {{0}, {1, 2, 3},
         {"Original timeseries", "Trend component of original series, components 1",
          "Periodical components of original series, components 2,3,4", "Residual series"}},
        // Empty lists leave their panels untitled.
        {{}, {}, {"Original timeseries", "Residual series"}},
    };
    for (const auto& c : cases) {
        const decomposition d(c.trend, c.periodic, CDecompResultDoc::style_separate);
        CDCUtils u;
        recording_dc dc;
        paint_decomp_view(dc, u, d.plot(), 600, 700);
        // Plots of (700 - 40 - 20 - 3 * 36) / 4 = 133 rows, 36 apart.
        EXPECT_EQ(boxes(dc.of(dc_op::rectangle)),
                  std::vector<ints>({{40, 40, 580, 173}, {40, 209, 580, 342}, {40, 378, 580, 511}, {40, 547, 580, 680}}));
        EXPECT_EQ(titles(dc), c.shown);
    }
}

TEST(DecompPaint, OverlaidSharesOneRangeWithTitleAndLegend) {
    const struct { std::vector<int> trend, periodic; std::vector<std::string> title; } cases[] = {
        {{0}, {1, 2}, {"Trend components 1.   Periodical components 2,3"}},
        {{}, {}, {}},
    };
    for (const auto& c : cases) {
        const decomposition d(c.trend, c.periodic, CDecompResultDoc::style_overlaid);
        CDCUtils u;
        recording_dc dc;
        paint_decomp_view(dc, u, d.plot(), 600, 400);
        EXPECT_EQ(boxes(dc.of(dc_op::rectangle)), (std::vector<ints>{{40, 40, 410, 380}}));
        EXPECT_EQ(titles(dc), c.title);
        std::vector<std::string> legend;
        // Right of the frame, past each entry's line and marker.
        for (const dc_op& o : dc.of(dc_op::text))
            if (o.a == 410 + 10 + 35) legend.push_back(o.s);
        EXPECT_EQ(legend, (std::vector<std::string>{"Original", "Trend", "Summ of periodical", "Residual"}));
    }
}

// Inside the rows, right of the value labels (anti-aliased text has grey in it).
int count_in(const QImage& img, QRgb colour, int top, int bottom) {
    int n = 0;
    for (int y = std::max(0, top); y < std::min(img.height(), bottom); ++y)
        for (int x = 60; x < img.width(); ++x) n += img.pixel(x, y) == colour;
    return n;
}

int black_in_column(const QImage& img, int x) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y) n += img.pixel(x, y) == qRgb(0, 0, 0);
    return n;
}

TEST(DecompViewRender, SeparateDrawsEachSeriesInItsRowAndColour) {
    decomposition d({0}, {1, 2, 3}, CDecompResultDoc::style_overlaid);
    CDecompResultView view(&d.doc, [&] { return d.plot(); });
    view.setFrameShape(QFrame::NoFrame);
    view.resize(600, 700);
    view.show();
    const QRgb colours[4] = {qRgb(0, 0, 255), qRgb(255, 0, 0), qRgb(0, 150, 0), qRgb(150, 150, 150)};
    EXPECT_LT(black_in_column(render(view), 579), 10);  // one frame, left of the legend
    d.doc.set_style(CDecompResultDoc::style_separate);
    d.doc.changed(change_style);
    const QImage separate = render(view);
    // Each series in its own plot: rows 40..173, 209..342, 378..511, 547..680.
    const int tops[4] = {40, 209, 378, 547};
    for (int i = 0; i < 4; ++i) {
        EXPECT_GT(count_in(separate, colours[i], tops[i], tops[i] + 133), 100) << i;
        for (int j = 1; j < 4; ++j)  // not blue, which fills every marker
            EXPECT_TRUE(j == i || count_in(separate, colours[j], tops[i], tops[i] + 133) == 0) << i << " " << j;
    }
    EXPECT_GT(black_in_column(separate, 579), 4 * 125);  // the four frames' right edges
}

}  // namespace
