// The final decomposition window as a plain paint: the original series with
// its trend, periodic part and residual, overlaid in one plot with a legend
// or stacked in four plots of their own.
#pragma once

#include <string>

#include "draw/ts_paint.h"

namespace decomp_view_margin {
constexpr int left = 40, top = 40, right = 20, bottom = 20;
constexpr int legend_width = 170;
// Room above each stacked plot for its title; below min_panel_height the window scrolls.
constexpr int panel_gap = 36, min_panel_height = 100;
}

// What the window draws, read from the final decomposition document.
struct decomp_plot {
    int style = 1;  // 1 overlaid, 0 separate
    // 0 original, 1 trend, 2 periodic, 3 residual; drawn in the colours 0 to 3.
    const t_ts* series[4] = {nullptr, nullptr, nullptr, nullptr};
    std::string panel_titles[4];  // separate style
    std::string title;            // overlaid style
    std::string legend[4];        // overlaid style
};

// The separate style asks for the height of four plots of the least height.
dc_size decomp_scroll_size(const decomp_plot& plot, int client_width);

// A missing or empty series draws nothing of the window.
void paint_decomp_view(device_context& dc, CDCUtils& utils, const decomp_plot& plot, int client_width,
                       int client_height);
