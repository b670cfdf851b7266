// Deterministic test series for the benchmarks.
#pragma once

#include <cmath>
#include <random>
#include <vector>

#include "core/two_pi.h"
#include "timeseries/ts.h"

// n values of signal(t) plus Gaussian noise of the given deviation, from a fixed seed.
template <class Signal>
t_ts noisy_signal(int n, unsigned seed, double deviation, Signal signal) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> noise(0, deviation);
    std::vector<double> v(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t) v[static_cast<size_t>(t)] = signal(static_cast<double>(t)) + noise(gen);
    return t_ts(v);
}

// The smooth one: a trend that dwarfs two harmonics and the noise.
inline t_ts bench_series(int n) {
    return noisy_signal(n, 12345, 1, [](double t) {
        return 100 + 0.02 * t + 5 * std::cos(two_pi * t / 12) + 2 * std::sin(two_pi * t / 5);
    });
}

// A trend, three harmonics and white noise of half their amplitude: every
// leading component carries energy.
inline t_ts noisy_series(int n) {
    return noisy_signal(n, 54321, 0.5, [](double t) {
        return 1e-5 * t + std::sin(two_pi * t / 12) + std::sin(two_pi * t / 30.5) + std::sin(two_pi * t / 7.3);
    });
}

// Two harmonics at 1e-6 of a large offset.
inline t_ts offset_series(int n) {
    return noisy_signal(n, 777, 0.1,
                        [](double t) { return 1e6 + std::sin(two_pi * t / 12) + 0.5 * std::sin(two_pi * t / 30); });
}

// 0 smooth, 1 noisy, 2 offset.
inline t_ts target_series(int kind, int n) {
    return kind == 0 ? bench_series(n) : kind == 1 ? noisy_series(n) : offset_series(n);
}
