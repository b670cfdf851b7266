#include "basis_kernels.h"

namespace {

// Rows per chunk: the block's rows stay in the first-level cache meanwhile.
constexpr long chunk = 256;

// Each of the B sums in W lanes (a register or two), added up in a fixed order
// at the end: vector code without reordering any one sum's terms differently
// from run to run.
constexpr int W = 8;

template <int B>
void project_block(const double* basis, long ld_basis, int j, const double* x, long ld_x, long r0, long rows,
                   double* h) {
    for (long c0 = r0; c0 < r0 + rows; c0 += chunk) {
        const long n = c0 + chunk < r0 + rows ? chunk : r0 + rows - c0;
        const long whole = n / W * W;
        for (int c = 0; c < j; ++c) {
            const double* a = basis + c * ld_basis + c0;
            double sum[B][W] = {};
            for (long i = 0; i < whole; i += W)
                for (int q = 0; q < B; ++q) {
                    const double* y = x + q * ld_x + c0 + i;
                    for (int l = 0; l < W; ++l) sum[q][l] += a[i + l] * y[l];
                }
            for (int q = 0; q < B; ++q) {
                double total = 0;
                for (int l = 0; l < W; ++l) total += sum[q][l];
                for (long i = whole; i < n; ++i) total += a[i] * x[q * ld_x + c0 + i];
                h[c + q * j] += total;
            }
        }
    }
}

template <int B>
void subtract_block(const double* basis, long ld_basis, int j, const double* h, double* x, long ld_x, long r0,
                    long rows) {
    for (long c0 = r0; c0 < r0 + rows; c0 += chunk) {
        const long n = c0 + chunk < r0 + rows ? chunk : r0 + rows - c0;
        for (int c = 0; c < j; ++c) {
            const double* a = basis + c * ld_basis + c0;
            for (int q = 0; q < B; ++q) {
                const double f = h[c + q * j];
                double* y = x + q * ld_x + c0;
                for (long i = 0; i < n; ++i) y[i] -= f * a[i];
            }
        }
    }
}

}  // namespace

void basis_project(const double* basis, long ld_basis, int j, const double* x, long ld_x, int b, long r0, long rows,
                   double* h) {
    switch (b) {
    case 1: return project_block<1>(basis, ld_basis, j, x, ld_x, r0, rows, h);
    case 2: return project_block<2>(basis, ld_basis, j, x, ld_x, r0, rows, h);
    case 4: return project_block<4>(basis, ld_basis, j, x, ld_x, r0, rows, h);
    default:
        for (int q = 0; q < b; ++q) project_block<1>(basis, ld_basis, j, x + q * ld_x, ld_x, r0, rows, h + q * j);
    }
}

void basis_subtract(const double* basis, long ld_basis, int j, const double* h, double* x, long ld_x, int b, long r0,
                    long rows) {
    switch (b) {
    case 1: return subtract_block<1>(basis, ld_basis, j, h, x, ld_x, r0, rows);
    case 2: return subtract_block<2>(basis, ld_basis, j, h, x, ld_x, r0, rows);
    case 4: return subtract_block<4>(basis, ld_basis, j, h, x, ld_x, r0, rows);
    default:
        for (int q = 0; q < b; ++q) subtract_block<1>(basis, ld_basis, j, h + q * j, x + q * ld_x, ld_x, r0, rows);
    }
}
