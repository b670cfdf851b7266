// Deterministic test series for the benchmarks: trend, two harmonics, noise.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "timeseries/ts.h"

inline t_ts bench_series(int n) {
    std::mt19937 gen(12345);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> v(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t)
        v[static_cast<size_t>(t)] =
            100 + 0.02 * t + 5 * std::cos(2 * M_PI * t / 12) + 2 * std::sin(2 * M_PI * t / 5) + noise(gen);
    return t_ts(v);
}
