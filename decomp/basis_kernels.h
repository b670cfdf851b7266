// The passes of a block of vectors over a Lanczos basis, in rows r0..r0+rows
// of column-major storage: the basis streams past the block once, where a
// matrix product by BLAS would first copy it into its own panels.
#pragma once

// h[c + q j] += (basis column c) . (x column q) for c < j, q < b.
void basis_project(const double* basis, long ld_basis, int j, const double* x, long ld_x, int b, long r0, long rows,
                   double* h);
// x column q -= sum over c < j of h[c + q j] (basis column c), q < b.
void basis_subtract(const double* basis, long ld_basis, int j, const double* h, double* x, long ld_x, int b, long r0,
                    long rows);
