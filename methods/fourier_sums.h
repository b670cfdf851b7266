// Cosine and sine sums of many columns at many frequencies, for the
// periodograms of the pairing methods.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <vector>

#include "core/hooks.h"

namespace fourier {

// For columns c = 0..m-1 of x (n rows, element (t, c) at x[t * stride + c]) and
// frequencies k = 0..nf-1: C = sum of x_t cos(angle(t, k)), S = the same with sin,
// each summed over t = 0..n-1 in increasing order, so every sum has the bits of
// the plain loop over one column. take(k, c, C, S) is called for each column with
// k increasing. The trigonometric values are computed once per (t, k) and shared
// by all columns; the frequencies go in blocks so that each pass over the data
// serves several of them.
template <class Angle, class Take>
void column_sums(const double* x, int n, std::size_t stride, int m, int nf, Angle angle, Take take,
                 const char* stage = nullptr) {
    constexpr int freq_block = 8;
    constexpr int col_block = 128;
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
        for (int c0 = 0; c0 < m; c0 += col_block) {
            const int cb = std::min(col_block, m - c0);
            std::fill(C.begin(), C.end(), 0.0);
            std::fill(S.begin(), S.end(), 0.0);
            for (int t = 0; t < n; ++t) {
                const double* row = x + static_cast<std::size_t>(t) * stride + static_cast<std::size_t>(c0);
                const double* ct = &cos_t[static_cast<std::size_t>(t) * freq_block];
                const double* st = &sin_t[static_cast<std::size_t>(t) * freq_block];
                for (int f = 0; f < fb; ++f) {
                    const double cv = ct[f], sv = st[f];
                    double* cc = &C[static_cast<std::size_t>(f) * col_block];
                    double* ss = &S[static_cast<std::size_t>(f) * col_block];
                    for (int j = 0; j < cb; ++j) {
                        cc[j] += row[j] * cv;
                        ss[j] += row[j] * sv;
                    }
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

}  // namespace fourier
