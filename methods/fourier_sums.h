// Cosine and sine sums of many columns at many frequencies, for the
// periodograms of the pairing methods.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/hooks.h"
#include "core/split_in_two.h"
#include "fourier_kernels.h"

namespace fourier {

// The sums of the columns c0 .. c_end-1; see column_sums.
template <class Angle, class Take>
void column_range_sums(const double* x, int n, std::size_t stride, int c_begin, int c_end, int nf, Angle angle,
                       Take take, const char* stage) {
    constexpr int freq_block = 8;
    constexpr int col_block = 128;
    constexpr int time_block = 256;
    const int freq_step = tile_frequencies();
    const std::size_t un = static_cast<std::size_t>(n);
    std::vector<double> cos_t(un * freq_block), sin_t(un * freq_block);
    std::vector<double> C(freq_block * col_block), S(freq_block * col_block);
    for (int k0 = 0; k0 < nf; k0 += freq_block) {
        const int fb = std::min(freq_block, nf - k0);
        for (int t = 0; t < n; ++t)
            for (int f = 0; f < fb; ++f) {
                const double a = angle(t, k0 + f);
                cos_t[static_cast<std::size_t>(t) * freq_block + static_cast<std::size_t>(f)] = std::cos(a);
                sin_t[static_cast<std::size_t>(t) * freq_block + static_cast<std::size_t>(f)] = std::sin(a);
            }
        for (int c0 = c_begin; c0 < c_end; c0 += col_block) {
            const int cb = std::min(col_block, c_end - c0);
            std::fill(C.begin(), C.end(), 0.0);
            std::fill(S.begin(), S.end(), 0.0);
            for (int t0 = 0; t0 < n; t0 += time_block) {
                const int t1 = std::min(n, t0 + time_block);
                for (int j = 0; j < cb; j += 4)
                    for (int f = 0; f < fb; f += freq_step) {
                        const double* xj = x + static_cast<std::size_t>(c0 + j);
                        double* cs = &C[static_cast<std::size_t>(f * col_block + j)];
                        double* ss = &S[static_cast<std::size_t>(f * col_block + j)];
                        const double* ct = &cos_t[static_cast<std::size_t>(f)];
                        const double* st = &sin_t[static_cast<std::size_t>(f)];
                        add_terms(cb - j, std::min(freq_step, fb - f), xj, stride, t0, t1, ct, st, freq_block, cs,
                                  ss, col_block);
                    }
            }
            for (int j = 0; j < cb; ++j)
                for (int f = 0; f < fb; ++f)
                    take(k0 + f, c0 + j, C[static_cast<std::size_t>(f) * col_block + static_cast<std::size_t>(j)],
                         S[static_cast<std::size_t>(f) * col_block + static_cast<std::size_t>(j)]);
        }
        if (stage) report_progress(stage, k0 + fb, nf);
    }
}

// For columns c = 0..m-1 of x (n rows, element (t, c) at x[t * stride + c]) and
// frequencies k = 0..nf-1: C = sum of x_t cos(angle(t, k)), S = the same with sin,
// each summed over t = 0..n-1 in increasing order, so every sum has the bits of
// the plain loop over one column. take(k, c, C, S) is called for each column with
// k increasing. The trigonometric values are computed once per (t, k) and shared
// by all columns of a thread; the work goes in tiles of frequencies, columns and
// times so that the sums stay in registers and the data in cache.
// Large calls split the columns between two threads: take must only touch the
// state of its own column. Only the calling thread's progress reaches its hook.
template <class Angle, class Take>
void column_sums(const double* x, int n, std::size_t stride, int m, int nf, Angle angle, Take take,
                 const char* stage = nullptr) {
    constexpr double parallel_work = 2e7;
    const bool parallel = m >= 8 && static_cast<double>(n) * m * nf >= parallel_work;
    split_in_two(m, parallel, [&](int begin, int end) {
        column_range_sums(x, n, stride, begin, end, nf, angle, take, stage);
    });
}

}  // namespace fourier
