// What a paint leaves behind for the pointer: the plot panels with the part
// of the axis they show, their tick marks and the series drawn in them, and
// the read-out at a pointer position (the nearest point's mark and every
// series' value there). The data stay the document's: a paint's panels are
// dropped whenever the document changes.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "draw/dc.h"

struct drawn_series {
    const double* values = nullptr;
    int count = 0;
    std::string name;  // empty: "value"
};

struct plot_panel {
    dc_rect rect;
    int points = 0;               // on its abscissa
    double first = 0, last = 0;   // the part of it shown, in points
    const std::vector<std::string>* ticks = nullptr;
    std::vector<drawn_series> series;
};

struct readout {
    int panel = 0;
    int point = 0;  // from 0
    int x = 0;      // the cursor line's pixel column, on the point
    std::string text;
};

// The panel under (x, y), if any.
std::optional<int> panel_at(const std::vector<plot_panel>& panels, int x, int y);

// The point nearest to x in the panel under (x, y): "mark: name value, ...",
// the mark being the tick mark, or the point's number from 1 where there is
// none. None outside every panel.
std::optional<readout> read_out(const std::vector<plot_panel>& panels, int x, int y);
