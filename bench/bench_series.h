// Deterministic test series for the benchmarks.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "timeseries/ts.h"

// The smooth one: a trend that dwarfs two harmonics and the noise.
inline t_ts bench_series(int n) {
    std::mt19937 gen(12345);
    std::normal_distribution<double> noise(0, 1);
    std::vector<double> v(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t)
        v[static_cast<size_t>(t)] =
            100 + 0.02 * t + 5 * std::cos(2 * M_PI * t / 12) + 2 * std::sin(2 * M_PI * t / 5) + noise(gen);
    return t_ts(v);
}

// A trend, three harmonics and white noise of half their amplitude: every
// leading component carries energy.
inline t_ts noisy_series(int n) {
    std::mt19937 gen(54321);
    std::normal_distribution<double> noise(0, 0.5);
    std::vector<double> v(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t)
        v[static_cast<size_t>(t)] = 1e-5 * t + std::sin(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 30.5) +
                                    std::sin(2 * M_PI * t / 7.3) + noise(gen);
    return t_ts(v);
}

// Two harmonics at 1e-6 of a large offset.
inline t_ts offset_series(int n) {
    std::mt19937 gen(777);
    std::normal_distribution<double> noise(0, 0.1);
    std::vector<double> v(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t)
        v[static_cast<size_t>(t)] = 1e6 + std::sin(2 * M_PI * t / 12) + 0.5 * std::sin(2 * M_PI * t / 30) + noise(gen);
    return t_ts(v);
}

// 0 smooth, 1 noisy, 2 offset.
inline t_ts target_series(int kind, int n) {
    return kind == 0 ? bench_series(n) : kind == 1 ? noisy_series(n) : offset_series(n);
}
