// A grouping kept on disk: the series it was made for, its window length and
// its named groups, as a small JSON file
// {"series": "co2.dat", "L": 24, "groups": [{"name": "trend", "components": [1, 4]}, ...]}
// with components numbered from 1.
#pragma once

#include <string>
#include <vector>

#include "invest/grouping.h"

struct t_grouping {
    std::string series;  // the data file's name, without its folder
    int L = 0;
    std::vector<component_group> groups;  // components 0-based in memory
};

// The JSON text of a grouping, and back. from_json throws grouping_error for
// text that is no such object ("the grouping file is not valid JSON (...)",
// a missing or mistyped key named).
std::string grouping_json(const t_grouping& g);
t_grouping grouping_from_json(const std::string& text);

// Whole-file replace, and reading; both throw grouping_error naming the file
// when it cannot be written or read.
void save_grouping(const std::string& path, const t_grouping& g);
t_grouping load_grouping(const std::string& path);

// Refuses a grouping that does not fit a series of N values whose
// decomposition of window length g.L has `in_use` components: L outside
// 2..N-1 or a component beyond those in use. L_shown: the window length the
// caller decomposes with, 0 to take the grouping's.
void check_grouping_fits(const t_grouping& g, int N, int L_shown, int in_use);
