// The leading singular triples of the trajectory matrix X of a long series by
// a thick-restart Lanczos bidiagonalisation over FFT products with X and X^T,
// never forming X or X X^T.
#pragma once

#include <vector>

#include "core/matrix.h"
#include "core/series.h"

// The Lanczos basis (columns on each side) the solver keeps for k triples of an L x K matrix.
int krylov_size(int k, int L, int K);

// The singular values' rounding level of a trajectory matrix of N values
// whose largest singular value is sigma_1: eps sigma_1 (16 + sqrt(N)).
double singular_rounding_level(double sigma_1, int N);

// The k (< L) largest singular values of the trajectory matrix of s with
// window length L into sigma (decreasing) and their left singular vectors
// (the eigenvectors of X X^T) into the columns of U (L x k). Each value has
// converged to 4e-11 of itself, or to the rounding level where it is smaller;
// values beyond the rank of X come out at rounding size. Runs repeat exactly
// (fixed start vector). Throws ssa_exception naming k when the k have not
// converged within max_restarts; reports progress per product and lets the
// hook cancel.
void leading_singular(const series& s, int L, int k, int max_restarts, std::vector<double>& sigma, matrix& U);
