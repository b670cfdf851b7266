// Weighted correlations between elementary reconstructed components: how far
// two components are separable. Pairs of a sine stay strongly correlated,
// separable components are near 0.
#pragma once

#include <vector>

#include "core/matrix.h"
#include "decomp/reconstructed.h"

// The weight of value t of a series of length N in a decomposition of window
// length L: how many elements of the trajectory matrix hold it,
// min(t+1, L, K, N-t) with K = N-L+1.
int wcorrelation_weight(int t, int L, int N);

// The m x m matrix of weighted correlations of components 0..m-1 of rec,
// decomposed with window length L: (X_i, X_j)_w / sqrt((X_i, X_i)_w (X_j, X_j)_w).
// A component of zero weighted norm is uncorrelated with every other one (0)
// and has 1 on the diagonal. O(m^2 N); reports progress under "w-correlations"
// per row, so the hook may cancel it. Throws ssa_exception when m is outside
// 0..rec.amount() or L outside 1..N.
matrix wcorrelation(const t_reconstructed_tss& rec, int L, int m);

// The same for any series of length N given by their values (the groups'
// reconstructions), decomposed with window length L.
matrix wcorrelation(const std::vector<const double*>& xs, int N, int L);
