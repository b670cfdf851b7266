#include "leading_eigen.h"

// Eigen hands its matrix-vector products (the Lanczos reorthogonalisation,
// most of the solver's time on long windows) to the optimised BLAS.
#define EIGEN_USE_BLAS
#include <Spectra/SymEigsSolver.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <string>

#include "core/fft.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"

namespace {

// Residuals below this share of (lambda + shift) count as converged: with the
// shift at most lambda_1 every eigenpair is good to 8e-11 lambda_1.
constexpr double tolerance = 4e-11;

// (X X^T / shift + I) v: shifted and scaled so that the solver's relative
// test is one absolute bound for every eigenvalue, the tiny ones included
// (unshifted, a zero eigenvalue could never converge).
class shifted_covariance {
public:
    using Scalar = double;

    shifted_covariance(const series& s, int L) : m_X(s.data(), s.size(), L), m_w(static_cast<size_t>(m_X.K())) {}
    Eigen::Index rows() const { return m_X.L(); }
    Eigen::Index cols() const { return m_X.L(); }
    void set_shift(double shift) { m_shift = shift; }

    void perform_op(const double* x, double* y) const {
        covariance_times(x, y);
        const double scale = 1 / m_shift;
        for (int i = 0; i < m_X.L(); ++i) y[i] = y[i] * scale + x[i];
    }

    // X X^T v without the shift; a cancel is honoured between products.
    void covariance_times(const double* x, double* y) const {
        m_X.transpose_times(x, m_w.data());
        m_X.times(m_w.data(), y);
        report_progress("decomposition", ++m_products, 0);
    }

private:
    // Spectra calls perform_op through a const reference; the FFT buffers are work space.
    mutable hankel_operator m_X;
    mutable std::vector<double> m_w;
    mutable long long m_products = 0;
    double m_shift = 1;
};

// Spectra's solver with the Ritz vectors formed in row blocks straight into
// our matrix: one product of the whole Krylov basis would run for a second
// on a long window without a progress report, and hold a second copy.
class blocked_solver : public Spectra::SymEigsSolver<shifted_covariance> {
public:
    using Spectra::SymEigsSolver<shifted_covariance>::SymEigsSolver;

    // The eigenvectors of the k largest Ritz values, as Spectra forms them.
    void ritz_vectors(int k, matrix& U) const {
        const Eigen::MatrixXd& basis = this->m_fac.matrix_V();  // L x ncv
        const Spectra::TridiagEigen<double> small(this->m_fac.matrix_H());
        const Eigen::VectorXd& values = small.eigenvalues();
        std::vector<Eigen::Index> order(static_cast<size_t>(values.size()));
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](Eigen::Index a, Eigen::Index b) { return values[a] > values[b]; });
        Eigen::MatrixXd Y(basis.cols(), k);
        for (int c = 0; c < k; ++c) Y.col(c) = small.eigenvectors().col(order[static_cast<size_t>(c)]);
        const Eigen::Index L = basis.rows();
        constexpr Eigen::Index block = 8192;
        Eigen::MatrixXd part;
        for (Eigen::Index r0 = 0; r0 < L; r0 += block) {
            const Eigen::Index rows = std::min(block, L - r0);
            part.noalias() = basis.middleRows(r0, rows) * Y;
            for (Eigen::Index i = 0; i < rows; ++i)
                for (int c = 0; c < k; ++c) U.set(part(i, c), static_cast<int>(r0 + i), c);
            report_progress("eigenvectors", r0 + rows, L);
        }
    }
};

// A fixed start vector with a part along every eigenvector in practice (a
// vector of ones is orthogonal to every antisymmetric one).
Eigen::VectorXd start_vector(int L) {
    Eigen::VectorXd v(L);
    unsigned long long state = 0x2545F4914F6CDD1DULL;
    for (int i = 0; i < L; ++i) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        v[i] = 0.5 + static_cast<double>(state >> 11) * 0x1p-53;
    }
    return v;
}

// A lower bound near lambda_1 by a few power steps: the shift only sets the
// scale of the tolerance, so a rough value does.
double power_estimate(const shifted_covariance& op, int L) {
    Eigen::VectorXd v = start_vector(L), w(L);
    double estimate = 0;
    for (int step = 0; step < 8; ++step) {
        v.normalize();
        op.covariance_times(v.data(), w.data());
        estimate = v.dot(w);
        const double norm = w.norm();
        if (!(norm > 0)) break;
        v = w / norm;
    }
    return estimate;
}

}  // namespace

// A short basis: on long windows every pass over it costs more than the
// products it saves (its reorthogonalisation is most of the solver's time).
int krylov_size(int k, int L) { return std::min(L, k + std::max(20, k / 2)); }

void leading_eigen(const series& s, int L, int k, int max_restarts, std::vector<double>& eig, matrix& U,
                   double& leftover) {
    if (k < 1 || k >= L)
        throw SSA_math_exception::ssa_exception("the truncated decomposition takes 1 to L - 1 components, not " +
                                                std::to_string(k));
    shifted_covariance op(s, L);
    const double lambda = power_estimate(op, L);
    eig.assign(static_cast<size_t>(k), 0.0);
    U.resize(L, k);
    if (!(lambda > 0)) {  // a zero series: every eigenvalue is 0
        for (int i = 0; i < L; ++i)
            for (int c = 0; c < k; ++c) U.set(0.0, i, c);
        leftover = 0;
        return;
    }
    op.set_shift(lambda);
    blocked_solver solver(op, k, krylov_size(k, L));
    const Eigen::VectorXd start = start_vector(L);
    solver.init(start.data());
    const Eigen::Index found = solver.compute(Spectra::SortRule::LargestAlge, max_restarts, tolerance);
    if (solver.info() != Spectra::CompInfo::Successful || found < k)
        throw SSA_math_exception::ssa_exception(
            "the truncated decomposition found " + std::to_string(found) + " of the " + std::to_string(k) +
            " leading eigentriples asked for (k = " + std::to_string(k) +
            "): ask for fewer components or take the full decomposition");
    const Eigen::VectorXd theta = solver.eigenvalues();
    for (int c = 0; c < k; ++c) eig[static_cast<size_t>(c)] = lambda * (theta[c] - 1);
    solver.ritz_vectors(k, U);
    // |eigenvalue - Ritz value| <= residual <= tolerance (theta) in shifted units.
    leftover = tolerance * lambda * theta[0];
}
