// A periodogram as a plot: power against frequency from 0 to 1/2 in a frame,
// the frequencies written under it, the dominant period marked at its
// frequency and labelled ("period 12.00").
#pragma once

#include "draw/dc_utils.h"
#include "invest/grouping.h"

// The frequency labels take a line of text below rect.
void paint_periodogram(device_context& dc, CDCUtils& u, const dc_rect& rect, const periodogram& p);
