// The reorthogonalisation's passes over a Lanczos basis, bound by memory
// bandwidth, which one core does not saturate: each is split in two halves
// of rows (core/two_halves.h).
#pragma once

#include <Eigen/Core>

#include "core/two_halves.h"

class basis_passes {
public:
    // Projections onto at most `columns` columns.
    explicit basis_passes(int columns);

    // h[0..j) = basis(:, 0..j)^T x.
    void project(const Eigen::MatrixXd& basis, int j, const double* x, double* h);
    // x -= sum over i < count of h[i] basis(:, columns[i]).
    void subtract(const Eigen::MatrixXd& basis, const int* columns, int count, const double* h, double* x);

    // Bytes of basis read by all passes so far: with the memory's streaming
    // speed, the floor that the passes' traffic sets (the benchmark's).
    static long long bytes_read();

private:
    Eigen::MatrixXd m_halves;  // each half's projection
    two_halves m_split;
};
