// The final decomposition of a series into trend, periodic part and residual
// from the components marked as trend and as harmonic.
#pragma once

#include <vector>

#include "decomp/reconstructed.h"
#include "invest/summation_invest.h"
#include "timeseries/ts.h"

struct final_decomposition {
    // Class of a component.
    enum { cls_trend = 0, cls_trend_and_periodic = 1, cls_periodic = 2, cls_residual = 3 };

    std::vector<int> trend_list;     // 0-based, as marked
    std::vector<int> periodic_list;  // 0-based, as marked
    std::vector<int> classes;        // of each reconstructed component
    t_ts trend, periodic, residual;
};

// The three series from the reconstructed components and the two lists;
// components listed beyond the reconstructed ones are in no series. They
// carry the tick marks of original, when given, so a saved part keeps its
// dates. Throws ssa_exception without reconstructed components.
final_decomposition decompose_final(const t_reconstructed_tss* reconstructed, const std::vector<int>& trend_list,
                                    const std::vector<int>& periodic_list, const t_ts* original = nullptr);

// The summation's own marks: its trend components and its harmonic ones.
final_decomposition decompose_final(t_summation_invest& inv, const summation_table& table, std::uint8_t conditions);
