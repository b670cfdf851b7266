// The paint of the two series windows as plain functions over a device
// context: the time-series window and the group window in both styles.
// They take the data and the client size, so the Qt views stay thin.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "draw/dc_utils.h"

class t_ts;

// Margins between the client area and the plot area.
namespace ts_view_margin {
constexpr int left = 40, top = 40, right = 20, bottom = 20;
}
namespace ts_group_margin {
constexpr int left = 30, top = 35, right = 20, bottom = 20;
constexpr int legend_width = 170, columns = 3, cell_height = 150;
}

// The series' tick marks as axis labels; none when every mark is empty (a
// computed series), so that the axis is numbered instead of left blank.
const std::vector<std::string>* axis_labels(const t_ts& ts);

struct dc_size {
    int width = 0, height = 0;
    bool operator==(const dc_size& o) const { return width == o.width && height == o.height; }
};

// What the group window draws: a group document's title, draw style
// (1 overlaid, 0 separate) and series, which it owns.
struct ts_group_plot {
    std::string title;
    int style = 1;
    std::vector<const t_ts*> series;
};

// Every view starts with a scroll area of this size.
constexpr dc_size initial_scroll_size{100, 100};

// A series of length 0 draws nothing at all.
void paint_ts_view(device_context& dc, CDCUtils& utils, const t_ts& ts, int client_width, int client_height);

// The scroll area the group window needs: the grid of the separate style
// decides it; the other styles keep the initial one.
dc_size ts_group_scroll_size(const ts_group_plot& group, int client_width);

// The utils' marker radius becomes the group window's (1).
void paint_ts_group(device_context& dc, CDCUtils& utils, const ts_group_plot& group, int client_width,
                    int client_height);
