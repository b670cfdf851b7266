#include "leading_eigen.h"

#include <cblas.h>
#include <lapacke.h>

#include <Eigen/Dense>

#include <algorithm>
#include <cmath>
#include <limits>
#include <string>

#include "core/fft.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "basis_passes.h"

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

// Steps between looks at the Ritz values inside a cycle after the first: the
// last values converge fast once they start, often well before the cycle's end.
constexpr int look_interval = 8;

// Rows per block of the in-place basis products: small enough for a reusable
// buffer and a progress report per block, large enough for BLAS.
constexpr Eigen::Index row_block = 4096;

// out = a b (all column-major) by the optimised BLAS: the restart's product.
// Eigen's own kernels stay in use elsewhere, so none of its templates is
// built two ways.
void multiply(const Eigen::Ref<const Eigen::MatrixXd>& a, const Eigen::Ref<const Eigen::MatrixXd>& b,
              Eigen::Ref<Eigen::MatrixXd> out) {
    cblas_dgemm(CblasColMajor, CblasNoTrans, CblasNoTrans, static_cast<int>(a.rows()), static_cast<int>(b.cols()),
                static_cast<int>(a.cols()), 1.0, a.data(), static_cast<int>(a.outerStride()), b.data(),
                static_cast<int>(b.outerStride()), 0.0, out.data(), static_cast<int>(out.outerStride()));
}

// Deterministic numbers in [0.5, 1.5): the start vector and the replacements
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

// The singular triples of the small matrix B = P diag(S) Q^T, by LAPACK's
// divide and conquer (Eigen's one-sided Jacobi took 10 ms at 110 x 110).
struct ritz_triples {
    Eigen::VectorXd S;
    Eigen::MatrixXd P, Q;

    void compute(const Eigen::Ref<const Eigen::MatrixXd>& B) {
        const int n = static_cast<int>(B.rows());
        Eigen::MatrixXd a = B, qt(n, n);
        S.resize(n);
        P.resize(n, n);
        if (LAPACKE_dgesdd(LAPACK_COL_MAJOR, 'A', n, n, a.data(), n, S.data(), P.data(), n, qt.data(), n) != 0) {
            const Eigen::JacobiSVD<Eigen::MatrixXd> svd(B, Eigen::ComputeFullU | Eigen::ComputeFullV);
            S = svd.singularValues();
            P = svd.matrixU();
            Q = svd.matrixV();
            return;
        }
        Q = qt.transpose();
    }
};

// X V = U B with orthonormal U (L x m) and V (K x m), B upper bidiagonal
// (after a restart: the kept values on the diagonal, their couplings to the
// next vector in one column, bidiagonal from there), and the residual
// X^T U - V B^T = beta v_m e_m^T, v_m kept as column m of V. The buffers live
// for the whole solve: a restart rewrites them in place.
class bidiagonalisation {
public:
    bidiagonalisation(const series& s, int L, int m)
        : m_X(s.data(), s.size(), L), m_m(m), m_U(L, m), m_V(m_X.K(), m + 1), m_B(Eigen::MatrixXd::Zero(m, m)),
          m_h(m + 1), m_passes(m + 1), m_columns(static_cast<size_t>(m + 1)),
          m_block(std::min<Eigen::Index>(row_block, std::max(L, m_X.K())), m) {
        m_numbers.fill(m_V.col(0));
        m_V.col(0).normalize();
    }

    const Eigen::MatrixXd& B() const { return m_B; }

    // The coupling of column j of V (j <= m, set) to the columns before it: the residual of the first j steps.
    double coupling(int j) const { return j < m_m ? m_B(j - 1, j) : m_beta; }

    // Lanczos steps from column `from` (its v and the couplings to it set) to `to` (<= m).
    void extend(int from, int to) {
        for (int j = from; j < to; ++j) {
            auto u = m_U.col(j);
            m_X.times(m_V.col(j).data(), u.data());
            progress();
            if (j > 0) {
                // The recurrence's own terms: one u (or the kept Ritz vectors after a restart).
                const int first = j == m_start ? 0 : j - 1;
                for (int c = first; c < j; ++c) m_columns[static_cast<size_t>(c - first)] = c;
                m_passes.subtract(m_U, m_columns.data(), j - first, m_B.col(j).data() + first, u.data());
                orthogonalise(m_U, j, u);
            }
            m_B(j, j) = normalise(m_U, j, u);

            auto v = m_V.col(j + 1);
            m_X.transpose_times(u.data(), v.data());
            progress();
            v -= m_B(j, j) * m_V.col(j);
            orthogonalise(m_V, j + 1, v);
            if (j + 1 < m_m) {
                m_B(j, j + 1) = normalise(m_V, j + 1, v);
            } else {
                // The residual, 0 when X has no direction left beyond the basis.
                m_beta = v.norm();
                if (m_beta > breakdown_level()) {
                    v /= m_beta;
                } else {
                    m_beta = 0;
                    v.setZero();
                }
            }
        }
    }

    // Keeps the Ritz triples of columns 0..l-1 of P (left) and Q (right) with
    // their values S, plus the residual direction, as the start of the next cycle.
    void restart(const Eigen::MatrixXd& P, const Eigen::MatrixXd& Q, const Eigen::VectorXd& S, int l) {
        rotate(m_U, P.leftCols(l), m_m);
        rotate(m_V, Q.leftCols(l), m_m);
        m_V.col(l) = m_V.col(m_m);
        const Eigen::VectorXd rho = m_beta * P.row(m_m - 1).head(l).transpose();
        m_B.setZero();
        for (int i = 0; i < l; ++i) m_B(i, i) = S[i], m_B(i, l) = rho[i];
        m_start = l;
    }

    // The first k columns of U P into the first k columns of out's rows, by row
    // blocks; P has a row for each column of U in use. BLAS writes out's rows
    // directly: through a column-major buffer the copy cost seven times the
    // product at 10^7 rows.
    void ritz_vectors(const Eigen::MatrixXd& P, int k, matrix& out) {
        const Eigen::Index L = m_U.rows();
        for (Eigen::Index r0 = 0; r0 < L; r0 += row_block) {
            const Eigen::Index rows = std::min(row_block, L - r0);
            cblas_dgemm(CblasRowMajor, CblasTrans, CblasTrans, static_cast<int>(rows), k, static_cast<int>(P.rows()),
                        1.0, m_U.data() + r0, static_cast<int>(L), P.data(), static_cast<int>(P.outerStride()), 0.0,
                        out.row(static_cast<int>(r0)), out.cols());
            report_progress("eigenvectors", r0 + rows, L);
        }
    }

private:
    void progress() { report_progress("decomposition", ++m_products, 0); }

    // Below this a new Lanczos vector is rounding: X has no more directions there.
    double breakdown_level() const { return singular_rounding_level(m_scale, m_X.L() + m_X.K() - 1); }

    // One classical Gram-Schmidt pass against the first j columns of basis.
    // Of the projection only the columns whose part matters are subtracted:
    // what is left in has a norm below `negligible_projection` of the vector
    // (none when the whole projection is). The loss of orthogonality gathers
    // on a few directions, so this reads a fraction of the basis.
    void orthogonalise(Eigen::MatrixXd& basis, int j, Eigen::Ref<Eigen::VectorXd> x) {
        if (j == 0) return;
        auto h = m_h.head(j);
        m_passes.project(basis, j, x.data(), h.data());
        report_progress("decomposition", m_products, 0);
        const double left_in = negligible_projection * x.norm();
        if (h.norm() <= left_in) return;
        const double share = left_in / std::sqrt(static_cast<double>(j));
        int count = 0;
        for (int c = 0; c < j; ++c)
            if (std::fabs(h[c]) > share) m_columns[static_cast<size_t>(count)] = c, m_h[count++] = h[c];
        m_passes.subtract(basis, m_columns.data(), count, m_h.data(), x.data());
        report_progress("decomposition", m_products, 0);
    }

    // Normalises x (column j of basis) and returns its norm; a vector at
    // rounding size is replaced by a fixed one orthogonal to the basis, with a
    // zero coupling, so the factorisation goes on in the rest of the space.
    double normalise(Eigen::MatrixXd& basis, int j, Eigen::Ref<Eigen::VectorXd> x) {
        const double norm = x.norm();
        m_scale = std::max(m_scale, norm);
        if (norm > breakdown_level()) {
            x /= norm;
            return norm;
        }
        m_numbers.fill(x);
        for (int pass = 0; pass < 2; ++pass) {
            orthogonalise(basis, j, x);
            x.normalize();
        }
        return 0;
    }

    // basis(:, 0..l) = basis(:, 0..m) R in place, one row block at a time.
    void rotate(Eigen::MatrixXd& basis, const Eigen::Ref<const Eigen::MatrixXd>& R, int m) {
        const Eigen::Index n = basis.rows(), l = R.cols();
        for (Eigen::Index r0 = 0; r0 < n; r0 += m_block.rows()) {
            const Eigen::Index rows = std::min(m_block.rows(), n - r0);
            auto part = m_block.topLeftCorner(rows, l);
            multiply(basis.block(r0, 0, rows, m), R, part);
            basis.block(r0, 0, rows, l) = part;
            report_progress("decomposition", m_products, 0);
        }
    }

    hankel_operator m_X;
    int m_m;
    Eigen::MatrixXd m_U, m_V, m_B;
    Eigen::VectorXd m_h;
    basis_passes m_passes;
    std::vector<int> m_columns;  // the basis columns a subtraction reads
    Eigen::MatrixXd m_block;  // the restart's row buffer
    int m_start = 0;  // the column the cycle began at
    double m_beta = 0;
    double m_scale = 0;  // the largest norm met, a lower bound on sigma_1
    fixed_numbers m_numbers;
    long long m_products = 0;
};

}  // namespace

int krylov_size(int k, int L, int K) { return std::min({2 * k + 10, L, K}); }

double singular_rounding_level(double sigma_1, int N) {
    return std::numeric_limits<double>::epsilon() * std::max(sigma_1, 0.0) * (16 + std::sqrt(static_cast<double>(N)));
}

void leading_singular(const series& s, int L, int k, int max_restarts, std::vector<double>& sigma, matrix& U) {
    if (k < 1 || k >= L)
        throw SSA_math_exception::internal_error("the truncated decomposition takes 1 to L - 1 components, not " +
                                                 std::to_string(k));
    const int N = s.size(), K = N - L + 1;
    sigma.assign(static_cast<size_t>(k), 0.0);
    U.resize(L, k);
    if (std::all_of(s.data(), s.data() + N, [](double x) { return x == 0; })) {  // every value 0
        for (int i = 0; i < L; ++i)
            for (int c = 0; c < k; ++c) U.set(0.0, i, c);
        return;
    }
    const int m = krylov_size(k, L, K);
    // Beyond min(L, K) X has no singular values: those columns stay 0.
    const int found = std::min(k, m);
    // Kept through a restart: the k wanted and a fifth of the rest. Keeping
    // half took about as many products but more cycles, each rotating both
    // bases (a product of the whole basis with the kept Ritz vectors).
    const int keep = std::min(m - 1, k + (m - k) / 5);
    bidiagonalisation lanczos(s, L, m);
    // Whether the k leading triples of the first j steps have converged; the
    // count that has is left in `converged`, the triples in `small`.
    ritz_triples small;
    int converged = 0;
    const auto done = [&](int j) {
        small.compute(lanczos.B().topLeftCorner(j, j));
        // X^T U P_i - S_i V Q_i = coupling(j) P(j-1, i) v_j: the residual of triple i.
        const double floor = singular_rounding_level(small.S[0], N), beta = lanczos.coupling(j);
        converged = 0;
        while (converged < found &&
               beta * std::fabs(small.P(j - 1, converged)) <= std::max(tolerance * small.S[converged], floor))
            ++converged;
        if (converged < found) return false;
        for (int c = 0; c < found; ++c) sigma[static_cast<size_t>(c)] = small.S[c];
        lanczos.ritz_vectors(small.P, found, U);
        for (int i = 0; i < L; ++i)
            for (int c = found; c < k; ++c) U.set(0.0, i, c);
        return true;
    };
    for (int cycle = 0, from = 0;; ++cycle) {
        for (int j = from; j < m;) {
            const int to = cycle == 0 ? m : std::min(m, j + look_interval);
            lanczos.extend(j, to);
            j = to;
            if (j < m && j >= found && done(j)) return;
        }
        if (done(m)) return;
        if (cycle >= max_restarts)
            throw SSA_math_exception::resource_error(
                "the truncated decomposition found " + std::to_string(converged) + " of the " + std::to_string(k) +
                " leading eigentriples asked for (k = " + std::to_string(k) +
                "): ask for fewer components or take the full decomposition");
        lanczos.restart(small.P, small.Q, small.S, keep);
        from = keep;
    }
}
