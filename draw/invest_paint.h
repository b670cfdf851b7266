// The result windows of a decomposition and of the investigations as plain
// functions over a device context: the SVD window in its display kinds, the
// common investigation plot with the trend and period header lines, and the
// forecast plot. The Qt views only hand over the data and the client size.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "draw/ts_paint.h"

class series;
class t_ts;
class t_trend_invest;
class t_period_invest;
namespace SVD {
class t_svd;
}

namespace svd_view_margin {
constexpr int left = 30, top = 40, right = 20, bottom = 20;
constexpr int columns = 3, cell_height = 200;
}

// What the SVD window shows of its decomposition.
enum svd_display_kind : int {
    svd_singular_values = 0,
    svd_log_singular_values = 1,
    svd_eigenvectors = 2,
    svd_factor_vectors = 3,
    svd_reconstructed = 4
};

// Receives the message the SVD window gives instead of a plot.
using view_message = std::function<void(const std::string& text)>;

// The points of each plot's abscissa: the components shown, or the vectors' length.
int svd_axis_points(const SVD::t_svd& svd, int kind);

// The vector grids scroll down; the other kinds keep the initial scroll area.
dc_size svd_scroll_size(const SVD::t_svd& svd, int kind, int client_width);

// Draws the count() leading eigentriples. Kind 4 draws nothing and hands
// "unrealized" to message (notify() when empty); an unknown kind throws ssa_exception.
void paint_svd_view(device_context& dc, CDCUtils& utils, const SVD::t_svd& svd, int kind, int client_width,
                    int client_height, const view_message& message = {});

// The common investigation plot: the series and, when components were
// identified, their reconstruction (null otherwise).
struct invest_plot {
    const t_ts* series = nullptr;
    const t_ts* reconstruction = nullptr;
    bool two_scales = false;
    std::string name = "reconstruction";  // the reconstruction's, in the legend and the read-out
    bool legend = false;
};

void paint_invest_plot(device_context& dc, CDCUtils& utils, const invest_plot& plot, int client_width,
                       int client_height);

// The header line of the trend window. Throws ssa_exception for an unknown
// method, unknown_objects_for_identification for unknown treated vectors.
std::string trend_header(t_trend_invest& inv);
// What the legend calls the result: "trend (1, 4, 7)", "periodic (2-3, 5)" (numbered from 1).
std::string trend_legend(t_trend_invest& inv);
std::string period_legend(t_period_invest& inv);
// The two header lines of the period window.
std::string period_header_line1(t_period_invest& inv);
std::string period_header_line2(t_period_invest& inv);

// An investigation window's document: its series, investigation and two-scale flag.
template <class Invest>
struct invest_window {
    const t_ts* series = nullptr;
    Invest* invest = nullptr;
    bool two_scales = false;
    bool legend = false;
};

// The common plot of the series and the investigation's result, then the header line(s).
void paint_trend_invest(device_context& dc, CDCUtils& utils, const invest_window<t_trend_invest>& w,
                        int client_width, int client_height);
void paint_period_invest(device_context& dc, CDCUtils& utils, const invest_window<t_period_invest>& w,
                         int client_width, int client_height);

// The forecast window: the header line, the observed series and, when the
// signal has components, the forecast (signal and continuation) and the signal,
// over the shaded band of the intervals when there are any.
struct forecast_plot {
    std::string header;
    const t_ts* series = nullptr;
    const t_ts* forecast = nullptr;  // null when there are no signal components
    const t_ts* signal = nullptr;
    bool two_scales = false;
    // The interval bounds, one per forecast point, or null.
    const ::series* lower = nullptr;
    const ::series* upper = nullptr;
    // The time axis's marks over the series and the forecast; null for the series' own.
    const std::vector<std::string>* labels = nullptr;
    bool legend = false;
};

void paint_forecast_view(device_context& dc, CDCUtils& utils, const forecast_plot& plot, int client_width,
                         int client_height);
