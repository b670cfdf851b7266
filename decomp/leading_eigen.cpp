#include "leading_eigen.h"

// Eigen hands the basis products (reorthogonalisation, restart, Ritz vectors)
// to the optimised BLAS.
#define EIGEN_USE_BLAS
#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "basis_kernels.h"
#include "core/fft.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"

namespace {

// A singular value has converged when its residual is below this share of it.
// sigma^2 is then good to about 1e-10 of itself (twice the share, at most).
constexpr double tolerance = 4e-11;

// A projection onto the basis below this share of the vector is left in it:
// its second pass over the basis (half the traffic of orthogonalising) is
// skipped. The basis then stays orthogonal to about this level, far inside
// the square root of eps under which the bidiagonal's values keep full
// accuracy, and the next step's projection still catches any growth.
constexpr double negligible_projection = 1e-12;

// Rows per block of the in-place basis products: small enough for a reusable
// buffer and a progress report per block, large enough for BLAS.
constexpr Eigen::Index row_block = 4096;

// Vectors per Lanczos step: the step's products run as one batch on both
// cores, and each pass over a basis serves the whole block (a matrix product,
// not one matrix-vector product per vector).
constexpr int block_width = 4;

// Deterministic numbers in [0.5, 1.5): the start vectors and the replacements
// after a breakdown, so runs repeat exactly.
class fixed_numbers {
public:
    void fill(Eigen::Ref<Eigen::VectorXd> v) {
        for (Eigen::Index i = 0; i < v.size(); ++i) {
            m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
            v[i] = 0.5 + static_cast<double>(m_state >> 11) * 0x1p-53;
        }
    }

private:
    unsigned long long m_state = 0x2545F4914F6CDD1DULL;
};

using block_ref = Eigen::Ref<Eigen::MatrixXd>;

// A block bidiagonalisation of width b: X V = U B with orthonormal U (L x m)
// and V (K x m), B block upper bidiagonal (upper triangular blocks on the
// diagonal, lower triangular ones above it; after a restart: the kept values
// on the diagonal, their couplings to the next block in b columns, banded from
// there), and the residual X^T U - V B^T = V_r R E^T, V_r kept as columns
// m..m+b of V and R (b x b) as `residual()`. The buffers live for the whole
// solve: a restart rewrites them in place.
class bidiagonalisation {
public:
    bidiagonalisation(const series& s, int L, int m, int b)
        : m_X(s.data(), s.size(), L, true), m_m(m), m_b(b), m_U(L, m), m_V(m_X.K(), m + b),
          m_B(Eigen::MatrixXd::Zero(m, m)), m_R(Eigen::MatrixXd::Zero(b, b)), m_h((m + b) * b),
          m_block(std::min<Eigen::Index>(row_block, std::max(L, m_X.K())), m) {
        for (int c = 0; c < b; ++c) m_numbers.fill(m_V.col(c));
        Eigen::MatrixXd unused(b, b);
        orthonormalise(m_V, 0, m_V.leftCols(b), unused);
    }

    const Eigen::MatrixXd& B() const { return m_B; }
    const Eigen::MatrixXd& residual() const { return m_R; }

    // Lanczos steps from column `from` (its block of V and the coupling
    // B(0..from-1, from..from+b-1) set) to m.
    void extend(int from) {
        const int b = m_b;
        Eigen::MatrixXd R(b, b);
        for (int j = from; j < m_m; j += b) {
            auto u = m_U.middleCols(j, b);
            m_X.times(m_V.col(j).data(), u.data(), b, [this](int done) { progress(done); });
            m_products += b;
            const Eigen::RowVectorXd u_made = u.colwise().norm();
            if (j > 0) {
                // The recurrence's own terms: one block of U (or the kept Ritz vectors after a restart).
                const int first = j == from ? 0 : j - b;
                u.noalias() -= m_U.middleCols(first, j - first) * m_B.block(first, j, j - first, b);
                orthogonalise(m_U, j, u);
            }
            orthonormalise(m_U, j, u, R);
            refine(m_U, j, u, R, u_made);
            m_B.block(j, j, b, b) = R;

            auto v = m_V.middleCols(j + b, b);
            m_X.transpose_times(u.data(), v.data(), b, [this](int done) { progress(done); });
            m_products += b;
            const Eigen::RowVectorXd v_made = v.colwise().norm();
            v.noalias() -= m_V.middleCols(j, b) * m_B.block(j, j, b, b).transpose();
            orthogonalise(m_V, j + b, v);
            // The last block is the residual: columns at rounding size (X has
            // no direction left beyond the basis) get a zero coupling.
            orthonormalise(m_V, j + b, v, R);
            refine(m_V, j + b, v, R, v_made);
            if (j + b < m_m)
                m_B.block(j, j + b, b, b) = R.transpose();
            else
                m_R = R;
        }
    }

    // Keeps the Ritz triples of columns 0..l-1 of P (left) and Q (right) with
    // their values S, plus the residual block, as the start of the next cycle.
    void restart(const Eigen::MatrixXd& P, const Eigen::MatrixXd& Q, const Eigen::VectorXd& S, int l) {
        rotate(m_U, P.leftCols(l), m_m);
        rotate(m_V, Q.leftCols(l), m_m);
        m_V.middleCols(l, m_b) = m_V.middleCols(m_m, m_b);
        const Eigen::MatrixXd rho = P.block(m_m - m_b, 0, m_b, l).transpose() * m_R.transpose();
        m_B.setZero();
        for (int i = 0; i < l; ++i) m_B(i, i) = S[i];
        m_B.block(0, l, l, m_b) = rho;
    }

    // The first k columns of U P into the rows of out (L x k), by row blocks.
    void ritz_vectors(const Eigen::MatrixXd& P, int k, matrix& out) {
        const Eigen::Index L = m_U.rows();
        for (Eigen::Index r0 = 0; r0 < L; r0 += m_block.rows()) {
            const Eigen::Index rows = std::min(m_block.rows(), L - r0);
            auto part = m_block.topLeftCorner(rows, k);
            part.noalias() = m_U.middleRows(r0, rows) * P.leftCols(k);
            for (Eigen::Index i = 0; i < rows; ++i)
                for (int c = 0; c < k; ++c) out.set(part(i, c), static_cast<int>(r0 + i), c);
            report_progress("eigenvectors", r0 + rows, L);
        }
    }

private:
    void progress(int done = 0) { report_progress("decomposition", m_products + done, 0); }

    // Below this a new Lanczos vector is rounding: X has no more directions there.
    double breakdown_level() const { return singular_rounding_level(m_scale, m_X.L() + m_X.K() - 1); }

    // One classical Gram-Schmidt pass of the block x against the first j
    // columns of basis, by row blocks with a progress report each: on the
    // longest windows one pass over the basis outlasts the progress interval.
    // The subtraction is left out where every projection is negligible
    // (`negligible_projection`).
    void orthogonalise(Eigen::MatrixXd& basis, int j, block_ref x, bool always = false) {
        if (j == 0) return;
        const Eigen::Index n = basis.rows(), b = x.cols();
        Eigen::Map<Eigen::MatrixXd> h(m_h.data(), j, b);
        h.setZero();
        for_row_chunks(n, [&](Eigen::Index r0, Eigen::Index r) {
            basis_project(basis.data(), n, j, x.data(), x.outerStride(), static_cast<int>(b), r0, r, h.data());
        });
        bool negligible = true;
        for (Eigen::Index q = 0; q < b; ++q)
            negligible = negligible && h.col(q).norm() <= negligible_projection * x.col(q).norm();
        if (negligible && !always) return;
        for_row_chunks(n, [&](Eigen::Index r0, Eigen::Index r) {
            basis_subtract(basis.data(), n, j, h.data(), x.data(), x.outerStride(), static_cast<int>(b), r0, r);
        });
    }

    // Runs f(first row, rows) over row blocks with a progress report each: on
    // the longest windows one pass over the basis outlasts the progress interval.
    template <class F>
    void for_row_chunks(Eigen::Index n, F f) {
        constexpr Eigen::Index rows = 1 << 16;
        for (Eigen::Index r0 = 0; r0 < n; r0 += rows) {
            f(r0, std::min(rows, n - r0));
            progress();
        }
    }

    // Where a column kept less than 1e-4 of its norm as made (the recurrence
    // and the passes cancelled the rest), the rounding of those passes is
    // above 1e-12 of what is left: a second pass over the basis and the block,
    // folded into R (x as made = Q R still), puts it back at rounding.
    void refine(Eigen::MatrixXd& basis, int j, block_ref x, Eigen::MatrixXd& R, const Eigen::RowVectorXd& made) {
        bool cancelled = false;
        for (Eigen::Index c = 0; c < x.cols(); ++c) cancelled = cancelled || R(c, c) < 1e-4 * made[c];
        if (!cancelled) return;
        orthogonalise(basis, j, x, true);
        Eigen::MatrixXd again(R.rows(), R.cols());
        orthonormalise(basis, j, x, again);
        R = again * R;
    }

    // x = Q R with orthonormal Q written over x (columns j.. of basis, already
    // orthogonal to the first j) and R upper triangular. Cholesky QR twice (two
    // passes over x each) where x is well conditioned; otherwise column by
    // column, where a column at rounding size is replaced by a fixed one
    // orthogonal to the basis, with a zero diagonal in R, so the factorisation
    // goes on in the rest of the space.
    void orthonormalise(Eigen::MatrixXd& basis, int j, block_ref x, Eigen::MatrixXd& R) {
        Eigen::MatrixXd first, second;
        if (cholesky_qr(x, first, breakdown_level(), true)) {
            // x is now orthonormal to about 1e-4 at worst: the second pass only refines it.
            if (cholesky_qr(x, second, 0, false)) {
                R = second * first;
                return;
            }
            const Eigen::MatrixXd q = x;
            x.noalias() = q * first.triangularView<Eigen::Upper>();
        }
        R.setZero();
        for (Eigen::Index c = 0; c < x.cols(); ++c) {
            auto v = x.col(c);
            for (int pass = 0; pass < 2; ++pass)
                for (Eigen::Index d = 0; d < c; ++d) {
                    const double r = x.col(d).dot(v);
                    v -= r * x.col(d);
                    R(d, c) += r;
                }
            const double norm = v.norm();
            m_scale = std::max(m_scale, norm);
            if (norm > breakdown_level()) {
                R(c, c) = norm;
                v /= norm;
                continue;
            }
            m_numbers.fill(v);
            for (int pass = 0; pass < 2; ++pass) {
                v.normalize();
                orthogonalise_fully(basis, j, v);
                for (Eigen::Index d = 0; d < c; ++d) v -= x.col(d).dot(v) * x.col(d);
            }
            // A basis spanning the whole space leaves nothing: the column stays 0.
            const double left = v.norm();
            if (left > 0.5)
                v /= left;
            else
                v.setZero();
        }
    }

    // Cholesky QR: x = x R^-1 with R^T R = x^T x; false, leaving x alone, where
    // x is too ill conditioned for it or a column is at most level.
    bool cholesky_qr(block_ref x, Eigen::MatrixXd& R, double level, bool scales) {
        const Eigen::MatrixXd gram = x.transpose() * x;
        const Eigen::LLT<Eigen::MatrixXd> chol(gram);
        if (chol.info() != Eigen::Success) return false;
        R = chol.matrixU();
        const Eigen::VectorXd d = R.diagonal();
        if (scales) m_scale = std::max(m_scale, d.maxCoeff());
        if (d.minCoeff() <= std::max(1e-6 * d.maxCoeff(), level)) return false;
        const Eigen::MatrixXd inverse = R.triangularView<Eigen::Upper>().solve(Eigen::MatrixXd::Identity(x.cols(), x.cols()));
        for (Eigen::Index r0 = 0; r0 < x.rows(); r0 += m_block.rows()) {
            const Eigen::Index rows = std::min(m_block.rows(), x.rows() - r0);
            auto part = m_block.topLeftCorner(rows, x.cols());
            part.noalias() = x.middleRows(r0, rows) * inverse.triangularView<Eigen::Upper>();
            x.middleRows(r0, rows) = part;
        }
        return true;
    }

    void orthogonalise_fully(Eigen::MatrixXd& basis, int j, Eigen::Ref<Eigen::VectorXd> v) {
        if (j == 0) return;
        const Eigen::VectorXd h = basis.leftCols(j).transpose() * v;
        v.noalias() -= basis.leftCols(j) * h;
    }

    // basis(:, 0..l) = basis(:, 0..m) R in place, one row block at a time.
    void rotate(Eigen::MatrixXd& basis, const Eigen::Ref<const Eigen::MatrixXd>& R, int m) {
        const Eigen::Index n = basis.rows(), l = R.cols();
        for (Eigen::Index r0 = 0; r0 < n; r0 += m_block.rows()) {
            const Eigen::Index rows = std::min(m_block.rows(), n - r0);
            auto part = m_block.topLeftCorner(rows, l);
            part.noalias() = basis.block(r0, 0, rows, m) * R;
            basis.block(r0, 0, rows, l) = part;
            progress();
        }
    }

    hankel_operator m_X;
    int m_m, m_b;
    Eigen::MatrixXd m_U, m_V, m_B, m_R;
    Eigen::VectorXd m_h;  // the projections of a block
    Eigen::MatrixXd m_block;  // the row buffer of the in-place products
    double m_scale = 0;       // the largest norm met, a lower bound on sigma_1
    fixed_numbers m_numbers;
    long long m_products = 0;
};

}  // namespace

int krylov_size(int k, int L, int K) { return std::min({2 * k + 10, L, K}); }

// Blocks where the basis holds a few blocks beyond the k; single vectors where
// it barely holds them (a window not much longer than k).
int lanczos_block(int k, int L, int K) { return krylov_size(k, L, K) - k >= 3 * block_width ? block_width : 1; }

double singular_rounding_level(double sigma_1, int N) {
    return std::numeric_limits<double>::epsilon() * std::max(sigma_1, 0.0) * (16 + std::sqrt(static_cast<double>(N)));
}

void leading_singular(const series& s, int L, int k, int max_restarts, std::vector<double>& sigma, matrix& U) {
    if (k < 1 || k >= L)
        throw SSA_math_exception::ssa_exception("the truncated decomposition takes 1 to L - 1 components, not " +
                                                std::to_string(k));
    const int N = s.size(), K = N - L + 1;
    sigma.assign(static_cast<size_t>(k), 0.0);
    U.resize(L, k);
    if (std::all_of(s.data(), s.data() + N, [](double x) { return x == 0; })) {  // every value 0
        for (int i = 0; i < L; ++i)
            for (int c = 0; c < k; ++c) U.set(0.0, i, c);
        return;
    }
    const int b = lanczos_block(k, L, K);
    const int m = krylov_size(k, L, K) / b * b;
    // Beyond min(L, K) X has no singular values: those columns stay 0.
    const int found = std::min(k, m);
    // Kept through a restart: the k wanted and a fifth of the rest, so each
    // cycle adds whole blocks of new directions. Keeping more saves few
    // products and rotates the bases more often.
    const int keep = std::max(1, m - std::max(1, (m - k) * 4 / 5 / b) * b);
    bidiagonalisation lanczos(s, L, m, b);
    lanczos.extend(0);
    for (int cycle = 0;; ++cycle) {
        const Eigen::JacobiSVD<Eigen::MatrixXd> small(lanczos.B(), Eigen::ComputeFullU | Eigen::ComputeFullV);
        const Eigen::VectorXd& S = small.singularValues();
        const Eigen::MatrixXd& P = small.matrixU();
        // X^T U P_i - S_i V Q_i = V_r R P(m-b..m-1, i): the residual of triple i.
        const double floor = singular_rounding_level(S[0], N);
        const auto residual = [&](int i) { return (lanczos.residual() * P.block(m - b, i, b, 1)).norm(); };
        int converged = 0;
        while (converged < found && residual(converged) <= std::max(tolerance * S[converged], floor)) ++converged;
        if (converged == found) {
            for (int c = 0; c < found; ++c) sigma[static_cast<size_t>(c)] = S[c];
            lanczos.ritz_vectors(P, found, U);
            for (int i = 0; i < L; ++i)
                for (int c = found; c < k; ++c) U.set(0.0, i, c);
            return;
        }
        if (cycle >= max_restarts)
            throw SSA_math_exception::ssa_exception(
                "the truncated decomposition found " + std::to_string(converged) + " of the " + std::to_string(k) +
                " leading eigentriples asked for (k = " + std::to_string(k) +
                "): ask for fewer components or take the full decomposition");
        lanczos.restart(P, small.matrixV(), S, keep);
        lanczos.extend(keep);
    }
}
