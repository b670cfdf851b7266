// The register tiles of the Fourier column sums. Their bodies live in
// fourier_kernels.cpp, the only file compiled for AVX2, so every caller links
// to the one body instead of instantiating one of its own with other flags.
#pragma once

#include <cstddef>

namespace fourier {

// Adds x_t cos and x_t sin for t in [t0, t1) to the sums of w columns (1..4,
// more counts as 4) at f frequencies (1..tile_frequencies()), holding them in
// registers across t; each sum keeps the order of the plain loop.
void add_terms(int w, int f, const double* x, std::size_t stride, int t0, int t1, const double* cos_t,
               const double* sin_t, int table_stride, double* C, double* S, int sums_stride);

// Frequencies per add_terms call: as many sums as the vector registers hold.
int tile_frequencies();

}  // namespace fourier
