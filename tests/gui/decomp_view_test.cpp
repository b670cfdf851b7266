#include <gtest/gtest.h>

#include <algorithm>
#include <set>

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
        CDCUtils u; recording_dc dc;
        paint_decomp_view(dc, u, d.plot(), 600, 700);
        // Plots of (700 - 40 - 20 - 3 * 36) / 4 = 133 rows, 36 apart.
        EXPECT_EQ(boxes(dc.of(dc_op::rectangle)),
                  std::vector<ints>({{40, 40, 580, 173}, {40, 209, 580, 342}, {40, 378, 580, 511}, {40, 547, 580, 680}}));
        EXPECT_EQ(titles(dc), c.shown);
        // Each series only in its own plot, in its own colour.
        const dc_colour colours[4] = {{0, 0, 255}, {255, 0, 0}, {0, 150, 0}, {150, 150, 150}};
        std::set<int> drawn;
        for (const dc_op& o : dc.of(dc_op::line)) {
            const int k = static_cast<int>(std::find(colours, colours + 4, o.pen.colour) - colours);
            EXPECT_TRUE(k == 4 || (o.b >= 40 + 169 * k && o.b <= 173 + 169 * k)) << k;
            drawn.insert(k);
        }
        EXPECT_TRUE(c.trend.empty() || drawn == (std::set<int>{0, 1, 2, 3, 4}));
    }
}

TEST(DecompPaint, OverlaidSharesOneRangeWithTitleAndLegend) {
    const decomposition d({0}, {1, 2}, CDecompResultDoc::style_overlaid);
    CDCUtils u; recording_dc dc;
    paint_decomp_view(dc, u, d.plot(), 600, 400);
    EXPECT_EQ(boxes(dc.of(dc_op::rectangle)), (std::vector<ints>{{40, 40, 410, 380}}));
    EXPECT_EQ(titles(dc), std::vector<std::string>{"Trend components 1.   Periodical components 2,3"});
    std::vector<std::string> legend;
    // Right of the frame, past each entry's line and marker.
    for (const dc_op& o : dc.of(dc_op::text))
        if (o.a == 410 + 10 + 35) legend.push_back(o.s);
    EXPECT_EQ(legend, (std::vector<std::string>{"Original", "Trend", "Summ of periodical", "Residual"}));
}

}  // namespace
