// Smoothing of an investigation's result: the last identified component (or
// pair) is thrown away and the result rebuilt; unsmoothing brings the last
// thrown one back. The histories belong to the investigation documents.
#pragma once

#include <vector>

#include "core/pair.h"
#include "core/ui_services.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"

class trend_smoothing {
public:
    // Each returns false, after telling the user, when there is nothing to move.
    bool smooth(t_trend_invest& inv, ui_services& ui);
    bool unsmooth(t_trend_invest& inv, ui_services& ui);

    std::vector<int> thrown_components;  // most recent last
};

class period_smoothing {
public:
    bool smooth(t_period_invest& inv, ui_services& ui);
    bool unsmooth(t_period_invest& inv, ui_services& ui);

    std::vector<Pair::t_pair<int>> thrown_pairs;  // most recent last
};
