#include "basis_passes.h"

// Each half runs Eigen's own kernels on its thread: as fast as a
// single-threaded BLAS on these shapes.
#include <Eigen/Dense>

#include <atomic>

namespace {
std::atomic<long long> bytes{0};
}  // namespace

long long basis_passes::bytes_read() { return bytes; }

basis_passes::basis_passes(int columns) : m_halves(Eigen::MatrixXd::Zero(columns, 2)), m_split(1 << 14) {}

void basis_passes::project(const Eigen::MatrixXd& basis, int j, const double* x, double* h) {
    bytes += 8LL * basis.rows() * j;
    m_halves.topRows(j).setZero();
    m_split.run(basis.rows(), [&](long long r0, long long r1, int half) {
        const Eigen::Map<const Eigen::VectorXd> xs(x + r0, r1 - r0);
        m_halves.col(half).head(j).noalias() = basis.block(r0, 0, r1 - r0, j).transpose() * xs;
    });
    Eigen::Map<Eigen::VectorXd>(h, j) = m_halves.col(0).head(j) + m_halves.col(1).head(j);
}

void basis_passes::subtract(const Eigen::MatrixXd& basis, const int* columns, int count, const double* h,
                            double* x) {
    bytes += 8LL * basis.rows() * count;
    m_split.run(basis.rows(), [&](long long r0, long long r1, int) {
        Eigen::Map<Eigen::VectorXd> xs(x + r0, r1 - r0);
        const auto col = [&](int c) { return basis.col(columns[c]).segment(r0, r1 - r0); };
        // Four columns per sweep: one pass over x for four of the basis.
        int c = 0;
        for (; c + 4 <= count; c += 4)
            xs -= h[c] * col(c) + h[c + 1] * col(c + 1) + h[c + 2] * col(c + 2) + h[c + 3] * col(c + 3);
        for (; c < count; ++c) xs -= h[c] * col(c);
    });
}
