// Value labels that read well at any scale: grid lines at 1-2-5 steps and
// each label with the digits its step resolves (0.0125, 1e-5, 78866).
#pragma once

#include <string>
#include <vector>

// The least 1, 2 or 5 times a power of ten at or above raw; 0 for a raw that is not a positive finite number.
double nice_step(double raw);

// The multiples of step strictly between lo and hi, ascending.
std::vector<double> grid_values(double lo, double hi, double step);

// v written to the resolution of a scale (its step): fixed decimals as the
// resolution needs them, an exponent ("2.5e-5", "1e9") for resolutions below
// 1e-4 or from 1e5 on; "0" for what rounds to zero. A resolution of 0 gives six significant digits.
std::string value_label(double v, double resolution);

// The resolution of the end labels of a scale from lo to hi: about three
// digits finer than the range, so the ends read more exactly than the grid.
double end_resolution(double lo, double hi);
