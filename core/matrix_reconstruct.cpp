#include <cmath>

#include "matrix.h"
#include "ssa_exception.h"

namespace {

template <typename Eigenvalues>
void sum_elementary(matrix& y, const Eigenvalues& lambda, int lambda_size, const matrix& U, const matrix& V, int n,
                    const int* indices) {
    const int L = y.rows(), K = y.cols();
    // Validate once what the element loops read, then run them unchecked.
    for (int g = 0; g < n; ++g) {
        const int k = indices[g];
        if (L > 0) (void)U[Pair::t_pair<int>(L - 1, k)];
        if (K > 0) (void)V[Pair::t_pair<int>(K - 1, k)];
        if (k < 0 || k >= lambda_size)
            throw SSA_math_exception::out_of_range("in matrix::operator[]");
    }
    for (int i = 0; i < L; ++i) std::fill(y.row(i), y.row(i) + K, 0.0);
    // Adding whole rank-one terms in list order keeps each element's sum in list order.
    for (int g = 0; g < n; ++g) {
        const int k = indices[g];
        const double s = std::sqrt(lambda[k]);
        for (int i = 0; i < L; ++i) {
            const double su = s * U(i, k);
            double* yi = y.row(i);
            for (int j = 0; j < K; ++j) yi[j] += su * V(j, k);
        }
    }
}

}  // namespace

void matrix::reconstruct_group(const std::vector<double>& eigenvalues, const matrix& U, const matrix& V, int n,
                               const int* indices) {
    sum_elementary(*this, eigenvalues, static_cast<int>(eigenvalues.size()), U, V, n, indices);
}

void matrix::reconstruct_group(const series& eigenvalues, const matrix& U, const matrix& V, int n,
                               const int* indices) {
    sum_elementary(*this, eigenvalues, eigenvalues.size(), U, V, n, indices);
}

void matrix::diagonal_average(series& out) const {
    const int N = m_rows + m_cols - 1;
    if (out.size() != N)
        throw SSA_math_exception::internal_error("Error 17: incorrect series size given for averaging!\n", 17);
    const bool tall = m_rows >= m_cols;
    const int Ls = tall ? m_cols : m_rows;
    const int Ks = tall ? m_rows : m_cols;
    // m runs over the shorter side.
    auto y = [&](int m, int n) { return tall ? (*this)(n, m) : (*this)(m, n); };
    for (int k = 0; k < N; ++k) {
        const int lo = k < Ks ? 0 : k - Ks + 1;
        const int hi = k < Ls - 1 ? k : Ls - 1;
        double s = 0;
        for (int m = lo; m <= hi; ++m) s += y(m, k - m);
        out[k] = s * (1.0 / (hi - lo + 1));
    }
}
