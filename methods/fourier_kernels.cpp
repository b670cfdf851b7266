// The register tiles of fourier::column_sums; with KELVANE_AVX2 this file
// alone is compiled with -mavx2.
#include <cstddef>

#include "fourier_kernels.h"

#if defined(__AVX__)
#include <immintrin.h>
#endif

namespace fourier {

namespace {

// Adds x_t cos and x_t sin for t in [t0, t1) to the sums of W columns at F
// frequencies, holding them in registers across t.
template <int W, int F>
void add_terms_tile(const double* x, std::size_t stride, int t0, int t1, const double* cos_t, const double* sin_t,
               int table_stride, double* C, double* S, int sums_stride) {
    double c[F][W], s[F][W];
    for (int f = 0; f < F; ++f)
        for (int j = 0; j < W; ++j) {
            c[f][j] = C[f * sums_stride + j];
            s[f][j] = S[f * sums_stride + j];
        }
    for (int t = t0; t < t1; ++t) {
        const double* row = x + static_cast<std::size_t>(t) * stride;
        const double* ct = cos_t + static_cast<std::size_t>(t) * static_cast<std::size_t>(table_stride);
        const double* st = sin_t + static_cast<std::size_t>(t) * static_cast<std::size_t>(table_stride);
        for (int f = 0; f < F; ++f)
            for (int j = 0; j < W; ++j) {
                c[f][j] += row[j] * ct[f];
                s[f][j] += row[j] * st[f];
            }
    }
    for (int f = 0; f < F; ++f)
        for (int j = 0; j < W; ++j) {
            C[f * sums_stride + j] = c[f][j];
            S[f * sums_stride + j] = s[f][j];
        }
}

#if defined(__AVX__)
// add_terms for W = 4, the four columns in one vector: each lane is one
// column's sum, so every sum keeps its order of operations.
template <int F>
void add_terms4(const double* x, std::size_t stride, int t0, int t1, const double* cos_t, const double* sin_t,
                int table_stride, double* C, double* S, int sums_stride) {
    __m256d c[F], s[F];
    for (int f = 0; f < F; ++f) {
        c[f] = _mm256_loadu_pd(C + f * sums_stride);
        s[f] = _mm256_loadu_pd(S + f * sums_stride);
    }
    for (int t = t0; t < t1; ++t) {
        const double* ct = cos_t + static_cast<std::size_t>(t) * static_cast<std::size_t>(table_stride);
        const double* st = sin_t + static_cast<std::size_t>(t) * static_cast<std::size_t>(table_stride);
        const __m256d row = _mm256_loadu_pd(x + static_cast<std::size_t>(t) * stride);
        for (int f = 0; f < F; ++f) {
            c[f] = _mm256_add_pd(c[f], _mm256_mul_pd(row, _mm256_broadcast_sd(ct + f)));
            s[f] = _mm256_add_pd(s[f], _mm256_mul_pd(row, _mm256_broadcast_sd(st + f)));
        }
    }
    for (int f = 0; f < F; ++f) {
        _mm256_storeu_pd(C + f * sums_stride, c[f]);
        _mm256_storeu_pd(S + f * sums_stride, s[f]);
    }
}
#else
template <int F>
void add_terms4(const double* x, std::size_t stride, int t0, int t1, const double* cos_t, const double* sin_t,
                int table_stride, double* C, double* S, int sums_stride) {
    add_terms_tile<4, F>(x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride);
}
#endif

template <int F>
void add_terms_narrow(int w, const double* x, std::size_t stride, int t0, int t1, const double* cos_t,
                      const double* sin_t, int table_stride, double* C, double* S, int sums_stride) {
    switch (w) {
    case 1: add_terms_tile<1, F>(x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride); break;
    case 2: add_terms_tile<2, F>(x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride); break;
    case 3: add_terms_tile<3, F>(x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride); break;
    default: add_terms4<F>(x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride); break;
    }
}

}  // namespace

int tile_frequencies() {
#if defined(__AVX__)
    return 4;
#else
    return 2;
#endif
}

void add_terms(int w, int f, const double* x, std::size_t stride, int t0, int t1, const double* cos_t,
               const double* sin_t, int table_stride, double* C, double* S, int sums_stride) {
    switch (f) {
    case 1: add_terms_narrow<1>(w, x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride); break;
    case 2: add_terms_narrow<2>(w, x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride); break;
    case 3: add_terms_narrow<3>(w, x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride); break;
    default: add_terms_narrow<4>(w, x, stride, t0, t1, cos_t, sin_t, table_stride, C, S, sums_stride);
    }
}

}  // namespace fourier
