#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "fft.h"
#include "hooks.h"
#include "matrix.h"
#include "ssa_exception.h"

namespace {

// Below this many multiplications the covariance is summed directly, in the
// reference order; above it the Hankel shortcut pays off.
constexpr double direct_covariance_limit = 3e7;

// Up to this window length the Jacobi solver is fast enough to be the
// automatic choice.
constexpr int jacobi_auto_max_L = 200;

// Above this many multiplications the factor vectors of a trajectory matrix
// come from FFT correlations instead of direct sums.
constexpr double direct_factor_limit = 5e7;

// A level whose sweeps never settle would otherwise loop forever on rounding noise.
constexpr int max_sweeps_per_level = 100;

inline size_t packed(int i, int j) {  // i <= j
    return static_cast<size_t>(i) + static_cast<size_t>(j) * (static_cast<size_t>(j) + 1) / 2;
}

bool is_hankel(const matrix& x) {
    for (int i = 1; i < x.rows(); ++i) {
        const double* prev = x.row(i - 1);
        const double* cur = x.row(i);
        for (int j = 0; j + 1 < x.cols(); ++j)
            if (cur[j] != prev[j + 1]) return false;
        // The whole L x K matrix is read: seconds for a long series.
        report_progress("checking the trajectory matrix", i + 1, x.rows() - 1);
    }
    return true;
}

void rotate(std::vector<double>& a, std::vector<double>& r, int n, int l, int m) {
    const size_t ll = packed(l, l), mm = packed(m, m), lm = packed(l, m);
    const double a_ll = a[ll], a_mm = a[mm], a_lm = a[lm];
    const double x = 0.5 * (a_ll - a_mm);
    // Entries tiny beside the largest (a huge outlier among ordinary values)
    // square to a subnormal or zero; hypot keeps 0/0 out. Ordinary entries
    // keep the plain square root and its rounding.
    const double squares = a_lm * a_lm + x * x;
    const double radius =
        squares >= std::numeric_limits<double>::min() && squares <= std::numeric_limits<double>::max()
            ? std::sqrt(squares)
            : std::hypot(a_lm, x);
    double y = -a_lm / radius;
    if (x < 0) y = -y;
    // |y| can exceed 1 by an ulp; the clamp keeps the square root real.
    const double sn = y / std::sqrt(2.0 * (1.0 + std::sqrt(std::max(0.0, 1.0 - y * y))));
    const double sin2 = sn * sn;
    const double cos2 = 1.0 - sin2;
    const double cs = std::sqrt(cos2);
    const double sincos = sn * cs;

    double* rl = r.data() + static_cast<size_t>(l) * n;
    double* rm = r.data() + static_cast<size_t>(m) * n;
    for (int i = 0; i < n; ++i) {
        if (i != l && i != m) {
            const size_t il = i < l ? packed(i, l) : packed(l, i);
            const size_t im = i < m ? packed(i, m) : packed(m, i);
            const double e_il = a[il], e_im = a[im];
            a[il] = e_il * cs - e_im * sn;
            a[im] = e_il * sn + e_im * cs;
        }
        const double r_il = rl[i], r_im = rm[i];
        rl[i] = r_il * cs - r_im * sn;
        rm[i] = r_il * sn + r_im * cs;
    }
    const double t = 2.0 * a_lm * sincos;
    a[ll] = a_ll * cos2 + a_mm * sin2 - t;
    a[mm] = a_ll * sin2 + a_mm * cos2 + t;
    a[lm] = (a_ll - a_mm) * sincos + a_lm * (cos2 - sin2);
}

// Eigenvalues (decreasing) and, when asked, eigenvectors (columns of r,
// column-major) by LAPACK; eigenvalues alone skip the back-transformation, about half the time.
void fast_eigen(const matrix& c, std::vector<double>& w, std::vector<double>& r, bool vectors) {
    const int n = c.rows();
    // The worker may outlive this call when the progress hook cancels, so it
    // gets a copy of its own (made here, with progress) and hands back its results.
    std::vector<double> a(static_cast<size_t>(n) * n);
    for (int i = 0; i < n; ++i) {
        std::copy(c.row(i), c.row(i) + n, a.begin() + static_cast<size_t>(i) * n);
        report_progress("preparing decomposition", i + 1, n);
    }
    struct solved {
        lapack_int info;
        std::vector<double> w, r;
    };
    solved s = run_with_progress("decomposition", [n, vectors, a = std::move(a)]() mutable {
        solved out{0, std::vector<double>(static_cast<size_t>(n)), {}};
        if (!vectors) {
            out.info = LAPACKE_dsyevd(LAPACK_COL_MAJOR, 'N', 'U', n, a.data(), n, out.w.data());
            std::reverse(out.w.begin(), out.w.end());
            return out;
        }
        out.r.resize(static_cast<size_t>(n) * n);
        std::vector<lapack_int> support(2 * static_cast<size_t>(std::max(1, n)));
        lapack_int found = 0;
        out.info = LAPACKE_dsyevr(LAPACK_COL_MAJOR, 'V', 'A', 'U', n, a.data(), n, 0.0, 0.0, 0, 0, 0.0, &found,
                                  out.w.data(), out.r.data(), n, support.data());
        // LAPACK returns ascending order; the pipeline wants decreasing.
        std::reverse(out.w.begin(), out.w.end());
        for (int i = 0; i < n / 2; ++i)
            std::swap_ranges(out.r.begin() + static_cast<size_t>(i) * n, out.r.begin() + static_cast<size_t>(i + 1) * n,
                             out.r.begin() + static_cast<size_t>(n - 1 - i) * n);
        return out;
    });
    w = std::move(s.w);
    r = std::move(s.r);
    const lapack_int info = s.info;
    if (info != 0)
        throw SSA_math_exception::internal_error("the eigen solver did not converge");
}

// V(j, c) = (X^T U_c)(j) / sqrt(lambda_c), summed over d ascending as the
// reference does, accumulated row by row of X for cache locality; x(d, j) is
// element (d, j) of X.
template <class Element>
void direct_factor_vectors(Element x, int L, int K, const matrix& U, const std::vector<double>& eig, int count,
                           matrix& V) {
    std::vector<double> acc(static_cast<size_t>(count));
    for (int j = 0; j < K; ++j) {
        std::fill(acc.begin(), acc.end(), 0.0);
        for (int d = 0; d < L; ++d) {
            const double xdj = x(d, j);
            const double* ud = U.row(d);
            for (int c = 0; c < count; ++c) acc[static_cast<size_t>(c)] += xdj * ud[c];
        }
        double* vj = V.row(j);
        for (int c = 0; c < V.cols(); ++c)
            vj[c] = c < count ? acc[static_cast<size_t>(c)] * (1.0 / std::sqrt(eig[static_cast<size_t>(c)])) : 0.0;
        report_progress("factor vectors", j + 1, K);
    }
}

}  // namespace

void lag_covariance(const matrix& x, matrix& c) {
    const int L = x.rows(), K = x.cols();
    c.resize(L, L);
    if (static_cast<double>(L) * L * K > direct_covariance_limit && is_hankel(x)) {
        series s(L + K - 1);
        for (int i = 0; i < L; ++i) s[i] = x(i, 0);
        for (int j = 1; j < K; ++j) s[L - 1 + j] = x(L - 1, j);
        hankel_covariance(s, L, c);
        return;
    }
    for (int i = 0; i < L; ++i) {
        const double* xi = x.row(i);
        for (int j = i; j < L; ++j) {
            const double* xj = x.row(j);
            double s = 0;
            for (int k = 0; k < K; ++k) s += xi[k] * xj[k];
            c.set(s, i, j);
            c.set(s, j, i);
        }
        report_progress("lag-covariance", i + 1, L);
    }
}

void hankel_covariance(const series& s, int L, matrix& c) {
    const int K = s.size() - L + 1;
    c.resize(L, L);
    const double* x = s.data();
    // The same products in the same order as the sums over the trajectory matrix.
    if (static_cast<double>(L) * L * K <= direct_covariance_limit) {
        for (int i = 0; i < L; ++i) {
            for (int j = i; j < L; ++j) {
                double sum = 0;
                for (int k = 0; k < K; ++k) sum += x[i + k] * x[j + k];
                c.set(sum, i, j);
                c.set(sum, j, i);
            }
            report_progress("lag-covariance", i + 1, L);
        }
        return;
    }
    // C(i+1, j+1) = C(i, j) - s[i] s[j] + s[i+K] s[j+K].
    for (int j = 0; j < L; ++j) {
        double sum = 0;
        for (int k = 0; k < K; ++k) sum += x[k] * x[j + k];
        c.set(sum, 0, j);
        c.set(sum, j, 0);
        // L K products in all: the whole stage for a long series.
        report_progress("lag-covariance, first row", j + 1, L);
    }
    for (int i = 1; i < L; ++i) {
        const double head = x[i - 1], tail = x[i + K - 1];
        for (int j = i; j < L; ++j) {
            const double sum = c(i - 1, j - 1) - head * x[j - 1] + tail * x[j + K - 1];
            c.set(sum, i, j);
            c.set(sum, j, i);
        }
        report_progress("lag-covariance", i + 1, L);
    }
}

void jacobi_eigen(std::vector<double>& a, std::vector<double>& r, int n, double* leftover) {
    r.assign(static_cast<size_t>(n) * n, 0.0);
    for (int i = 0; i < n; ++i) r[static_cast<size_t>(i) * n + i] = 1.0;

    double off = 0;
    for (int j = 1; j < n; ++j)
        for (int i = 0; i < j; ++i) off += a[packed(i, j)] * a[packed(i, j)];

    if (off != 0) {
        const double norm = std::sqrt(off) * std::sqrt(2.0);
        const double final_threshold = norm * 1e-10 / n;
        double threshold = norm;
        long long sweeps = 0, rotations = 0;
        while (threshold > final_threshold) {
            threshold /= n;
            for (int sweep = 0; sweep < max_sweeps_per_level; ++sweep) {
                bool rotated = false;
                for (int l = 0; l < n - 1; ++l) {
                    for (int m = l + 1; m < n; ++m) {
                        if (std::fabs(a[packed(l, m)]) >= threshold) {
                            rotate(a, r, n, l, m);
                            rotated = true;
                            // A row can take n rotations of O(n) each: report within it too.
                            if ((++rotations & 31) == 0) report_progress("decomposition", ++sweeps, 0);
                        }
                    }
                    report_progress("decomposition", ++sweeps, 0);
                }
                if (!rotated) break;
            }
        }
    }

    if (leftover) {
        // The rotations stop at a threshold, not at zero: each diagonal entry is
        // within its row's remaining off-diagonal norm of an eigenvalue.
        double worst = 0;
        for (int i = 0; i < n; ++i) {
            double row = 0;
            for (int j = 0; j < n; ++j) {
                if (j == i) continue;
                const double e = a[i < j ? packed(i, j) : packed(j, i)];
                row += e * e;
            }
            worst = std::max(worst, row);
        }
        *leftover = std::sqrt(worst);
    }

    // Up to n^3 / 2 moves of vector elements: progress on every row.
    for (int i = 0; i < n - 1; ++i) {
        report_progress("ordering eigenvectors", i + 1, n - 1);
        for (int j = i + 1; j < n; ++j) {
            double& di = a[packed(i, i)];
            double& dj = a[packed(j, j)];
            if (di < dj) {
                std::swap(di, dj);
                std::swap_ranges(r.begin() + static_cast<size_t>(i) * n, r.begin() + static_cast<size_t>(i + 1) * n,
                                 r.begin() + static_cast<size_t>(j) * n);
            }
        }
    }
}

void trajectory_factor_vectors(const series& s, const matrix& U, const std::vector<double>& eig, int count, bool exact,
                               matrix& V) {
    const int L = U.rows(), K = s.size() - L + 1, m = U.cols();
    V.resize(K, m);
    if (exact) {
        direct_factor_vectors([&s](int d, int j) { return s(d + j); }, L, K, U, eig, count, V);
        return;
    }
    // Columns are written one at a time across all rows: touch every row
    // first, so that the first column does not fault in the whole matrix unreported.
    for (int j = 0; j < K; ++j) {
        std::fill(V.row(j), V.row(j) + m, 0.0);
        report_progress("preparing factor vectors", j + 1, K);
    }
    hankel_operator X(s.data(), s.size(), L);
    std::vector<double> u(static_cast<size_t>(L)), w(static_cast<size_t>(K));
    for (int c = 0; c < count; ++c) {
        for (int i = 0; i < L; ++i) u[static_cast<size_t>(i)] = U(i, c);
        X.transpose_times(u.data(), w.data());
        const double scale = 1.0 / std::sqrt(eig[static_cast<size_t>(c)]);
        for (int j = 0; j < K; ++j) V.set(w[static_cast<size_t>(j)] * scale, j, c);
        report_progress("factor vectors", c + 1, count);
    }
}

svd_solver full_solver(svd_solver solver, int L) {
    if (solver == svd_solver::jacobi || solver == svd_solver::fast) return solver;
    return L <= jacobi_auto_max_L ? svd_solver::jacobi : svd_solver::fast;
}

void symmetric_eigen(const matrix& c, svd_solver solver, std::vector<double>& eig, std::vector<double>& r,
                     double& leftover, bool vectors) {
    const int L = c.rows();
    leftover = 0;
    if (full_solver(solver, L) == svd_solver::jacobi) {
        std::vector<double> p(static_cast<size_t>(L) * (L + 1) / 2);
        for (int i = 0; i < L; ++i)
            for (int j = 0; j <= i; ++j) p[packed(j, i)] = c(i, j);
        jacobi_eigen(p, r, L, &leftover);
        eig.resize(static_cast<size_t>(L));
        for (int i = 0; i < L; ++i) eig[static_cast<size_t>(i)] = p[packed(i, i)];
    } else {
        fast_eigen(c, eig, r, vectors);
    }
}

double eigen_rounding_level(double lambda_1, int L, int K, double leftover) {
    const double n = static_cast<double>(L) + K - 1;
    return std::numeric_limits<double>::epsilon() * std::max(lambda_1, 0.0) * (16 + std::sqrt(n)) + leftover;
}

void matrix::svd(series& spectrum, matrix& covariance, matrix& U, matrix& V, int& count, double& rounding,
                 svd_solver solver) const {
    const int L = m_rows, K = m_cols;
    using SSA_math_exception::internal_error;
    if (spectrum.size() != L)
        throw internal_error("Error 12: spectrum size not equals window length!\n", 12);
    if (covariance.rows() != covariance.cols())
        throw internal_error("Error 13: lagged-covariance matrix is not square matrix!\n", 13);
    if (covariance.rows() != L)
        throw internal_error("Error 14: size of lagged-covariance not equals window length!\n", 14);
    if (U.rows() != L || U.cols() != L)
        throw internal_error("Error 15: incorrect size of eigenvectors matrix!\n", 15);
    if (V.rows() != K || V.cols() != L)
        throw internal_error("Error 16: incorrect size of PCs-matrix!\n", 16);

    lag_covariance(*this, covariance);

    solver = full_solver(solver, L);
    std::vector<double> eig;  // decreasing
    std::vector<double> r;    // column-major eigenvectors
    double leftover = 0;
    symmetric_eigen(covariance, solver, eig, r, leftover);

    rounding = eigen_rounding_level(L > 0 ? eig[0] : 0.0, L, K, leftover);
    const double in_use = eigen_in_use_factor * rounding;
    count = 0;
    while (count < L && eig[static_cast<size_t>(count)] > in_use) ++count;
    for (int c = 0; c < L; ++c) spectrum[c] = c < count ? eig[static_cast<size_t>(c)] : 0.0;

    // U(i, c) = R(i, c) for c < count: a transposition, blocked to stay in cache.
    constexpr int block = 64;
    for (int i0 = 0; i0 < L; i0 += block)
        for (int c0 = 0; c0 < L; c0 += block)
            for (int i = i0; i < std::min(i0 + block, L); ++i) {
                double* ui = U.row(i);
                for (int c = c0; c < std::min(c0 + block, L); ++c)
                    ui[c] = c < count ? r[static_cast<size_t>(c) * L + i] : 0.0;
                report_progress("eigenvectors", i + 1, L);
            }

    if (solver == svd_solver::jacobi || static_cast<double>(K) * L * count <= direct_factor_limit ||
        !is_hankel(*this)) {
        direct_factor_vectors([this](int d, int j) { return (*this)(d, j); }, L, K, U, eig, count, V);
        return;
    }
    series s(L + K - 1);
    for (int i = 0; i < L; ++i) s[i] = (*this)(i, 0);
    for (int j = 1; j < K; ++j) s[L - 1 + j] = (*this)(L - 1, j);
    trajectory_factor_vectors(s, U, eig, count, false, V);
}
