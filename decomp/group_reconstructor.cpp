#include "group_reconstructor.h"

#include <algorithm>
#include <cmath>

#include "core/hooks.h"

namespace {

// Below this many multiplications the reference path is cheap enough and
// gives the reference rounding.
constexpr double reference_limit = 2e5;

}  // namespace

group_reconstructor::group_reconstructor(const SVD::t_svd& svd, int fft_threads)
    : m_svd(svd), m_fft_threads(fft_threads) {}

void group_reconstructor::reconstruct(const int* indices, int n, series& out) {
    const int L = m_svd.L(), K = m_svd.K();
    for (int g = 0; g < n; ++g) m_svd.check_component(indices[g]);
    const double work = static_cast<double>(L) * K;
    if (n == 1 && work <= reference_limit) {
        // One rank-one matrix: its antidiagonal sums are the same products in
        // the same order as through the L x K matrix, so skip building it.
        const int k = indices[0];
        const double s = std::sqrt(m_svd.spectrum()[static_cast<size_t>(k)]);
        const matrix& U = m_svd.eigenvectors();
        const matrix& V = m_svd.factor_vectors();
        const bool wide = L < K;
        const int shorter = wide ? L : K, longer = wide ? K : L;
        for (int t = 0; t < L + K - 1; ++t) {
            const int lo = t < longer ? 0 : t - longer + 1;
            const int hi = t < shorter - 1 ? t : shorter - 1;
            double sum = 0;
            for (int m = lo; m <= hi; ++m) {
                const int i = wide ? m : t - m, j = wide ? t - m : m;
                sum += s * U(i, k) * V(j, k);
            }
            out[t] = sum * (1.0 / (hi - lo + 1));
        }
    } else if (work * n <= reference_limit * 4) {
        matrix y(L, K);
        y.reconstruct_group(m_svd.spectrum(), m_svd.eigenvectors(), m_svd.factor_vectors(), n, indices);
        y.diagonal_average(out);
    } else {
        by_fft(indices, n, out);
    }
}

void group_reconstructor::tick() {
    if (m_tick) m_tick();
}

void group_reconstructor::by_fft(const int* indices, int n, series& out) {
    const int L = m_svd.L(), K = m_svd.K(), N = L + K - 1;
    if (!m_fft) {
        m_fft = std::make_unique<fft_convolver>(N, m_fft_threads);
        m_hankel = m_svd.hankel(m_fft_threads);
        m_a.resize(static_cast<size_t>(L));
        m_b.resize(static_cast<size_t>(K));
    }
    m_sum.assign(static_cast<size_t>(m_fft->size() / 2 + 1), 0.0);
    // Linear in the group: add the members' spectra, transform back once.
    bool any = false;
    for (int g = 0; g < n; ++g) {
        const int k = indices[g];
        if (m_svd.spectrum()[static_cast<size_t>(k)] == 0) continue;
        any = true;
        m_svd.elementary_factors(k, m_a.data(), m_b.data(), m_hankel.get());
        tick();
        m_fft->forward(m_a.data(), L, m_a_hat);
        tick();
        m_fft->forward(m_b.data(), K, m_b_hat);
        tick();
        for (size_t f = 0; f < m_sum.size(); ++f) m_sum[f] += spectrum_product(m_a_hat[f], m_b_hat[f]);
        if (n > 1) report_progress("reconstruction", g + 1, n);
    }
    // Components of a zero eigenvalue (most of a truncated decomposition's on
    // a trend-dominated series) need no transform.
    if (!any) {
        std::fill(out.data(), out.data() + N, 0.0);
        return;
    }
    m_fft->inverse(m_sum, out.data(), N);
    for (int t = 0; t < N; ++t) out[t] /= antidiagonal_length(t, L, K);
}
