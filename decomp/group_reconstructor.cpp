#include "group_reconstructor.h"

#include <algorithm>
#include <cmath>

#include "core/hooks.h"
#include "core/split_in_two.h"

namespace {

// Below this many multiplications the reference path is cheap enough and
// gives the reference rounding.
constexpr double reference_limit = 2e5;

// Values of all components together from which they are built on both cores,
// and the longest series so built.
constexpr double parallel_work = 2e5;
constexpr int parallel_max_N = 4000000;

}  // namespace

struct group_reconstructor::spectra {
    spectra(const SVD::t_svd& svd, int threads)
        : fft(svd.N(), threads), hankel(svd.hankel(threads)), a(static_cast<size_t>(svd.L())),
          b(static_cast<size_t>(svd.K())), sum(static_cast<size_t>(fft.size() / 2 + 1)) {}

    fft_convolver fft;
    std::unique_ptr<hankel_operator> hankel;
    std::vector<double> a, b;
    std::vector<std::complex<double>> a_hat, b_hat, sum;
};

group_reconstructor::group_reconstructor(const SVD::t_svd& svd, int fft_threads)
    : m_svd(svd), m_fft_threads(fft_threads) {}

group_reconstructor::~group_reconstructor() = default;

bool group_reconstructor::splits(int N, int n) {
    return n >= 2 && static_cast<double>(N) * n >= parallel_work && N <= parallel_max_N;
}

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

// A group reports per member, from both halves when split; the tick, which
// repeats the caller's own report on the caller's thread, serves one component.
void group_reconstructor::tick(int n) {
    if (n == 1 && m_tick) m_tick();
}

bool group_reconstructor::add_members(spectra& w, const int* indices, int begin, int end, int n) {
    const int L = m_svd.L(), K = m_svd.K();
    bool any = false;
    for (int g = begin; g < end; ++g) {
        const int k = indices[g];
        if (m_svd.spectrum()[static_cast<size_t>(k)] == 0) continue;
        any = true;
        // On the FFT path a's spectrum comes with b's product.
        if (!m_svd.elementary_factors(k, w.a.data(), w.b.data(), w.hankel.get(), &w.a_hat)) {
            tick(n);
            w.fft.forward(w.a.data(), L, w.a_hat);
        }
        tick(n);
        w.fft.forward(w.b.data(), K, w.b_hat);
        tick(n);
        for (size_t f = 0; f < w.sum.size(); ++f) w.sum[f] += spectrum_product(w.a_hat[f], w.b_hat[f]);
        if (n > 1) report_progress("reconstruction", g + 1 - begin, end - begin);
    }
    return any;
}

void group_reconstructor::by_fft(const int* indices, int n, series& out) {
    const int L = m_svd.L(), K = m_svd.K(), N = L + K - 1;
    // Linear in the group: add the members' spectra, transform back once.
    bool any = false;
    if (splits(N, n)) {
        spectra halves[2] = {{m_svd, 1}, {m_svd, 1}};
        bool found[2] = {false, false};
        split_in_two(n, true, [&](int begin, int end) {
            const int h = begin == 0 ? 0 : 1;
            found[h] = add_members(halves[h], indices, begin, end, n);
        });
        for (size_t f = 0; f < halves[0].sum.size(); ++f) halves[0].sum[f] += halves[1].sum[f];
        any = found[0] || found[1];
        if (any) halves[0].fft.inverse(halves[0].sum, out.data(), N);
    } else {
        if (!m_work) m_work = std::make_unique<spectra>(m_svd, m_fft_threads);
        std::fill(m_work->sum.begin(), m_work->sum.end(), 0.0);
        any = add_members(*m_work, indices, 0, n, n);
        if (any) m_work->fft.inverse(m_work->sum, out.data(), N);
    }
    // Components of a zero eigenvalue (most of a truncated decomposition's on
    // a trend-dominated series) need no transform.
    if (!any) {
        std::fill(out.data(), out.data() + N, 0.0);
        return;
    }
    for (int t = 0; t < N; ++t) out[t] /= antidiagonal_length(t, L, K);
}
