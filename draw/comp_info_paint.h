// The component-information window's paint: eigenvector, its periodogram,
// factor vector and reconstructed component stacked on the left, the test
// record as text on the right.
#pragma once

#include <string>
#include <vector>

#include "timeseries/ts.h"
#include "draw/dc_utils.h"
#include "invest/grouping.h"

struct comp_info_plot {
    const std::vector<double>* eigenvector = nullptr;
    const std::vector<double>* factor_vector = nullptr;
    const t_ts* component = nullptr;  // its title is the third panel's header
    const t_ts* original = nullptr;
    bool two_scales = false;
    std::vector<std::string> lines;
    const periodogram* eigen_periodogram = nullptr;
};

namespace comp_info_layout {
constexpr int outer = 15, panel_left_top = 10, panel_right_bottom = 20, text_indent = 15, line_step = 20,
              section_step = 30;
}

enum comp_info_panel { panel_eigenvector, panel_periodogram, panel_factor_vector, panel_component, panel_count };
// The panel rectangles for a client size, top to bottom, the component's
// twice as high as the others; label_room is the width the value labels need
// left of the frames.
std::vector<dc_rect> comp_info_panels(int client_width, int client_height, int label_room = 0);
void paint_comp_info(device_context& dc, CDCUtils& u, const comp_info_plot& p, int client_width, int client_height);
