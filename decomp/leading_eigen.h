// The leading eigenpairs of the lag-covariance X X^T of a long series by a
// Lanczos solver over FFT products with X, never forming X or X X^T.
#pragma once

#include <vector>

#include "core/matrix.h"
#include "core/series.h"

// The Krylov basis the solver keeps for k eigenpairs of an L x L matrix.
int krylov_size(int k, int L);

// The k (< L) largest eigenvalues of X X^T for the trajectory matrix of s with
// window length L into eig (decreasing) and their eigenvectors into the
// columns of U (L x k). Runs repeat exactly (fixed start vector). leftover
// receives the bound on the eigenvalues' error the solver's tolerance leaves.
// Throws ssa_exception naming k when fewer than k pairs converge within
// max_restarts; reports progress per product and lets the hook cancel.
void leading_eigen(const series& s, int L, int k, int max_restarts, std::vector<double>& eig, matrix& U,
                   double& leftover);
