#include "fft.h"

#include <fftw3.h>

#include <algorithm>

namespace {

// FFTW is fastest on sizes made of small primes.
int smooth_size(int n) {
    for (int m = std::max(n, 1);; ++m) {
        int r = m;
        for (int p : {2, 3, 5, 7})
            while (r % p == 0) r /= p;
        if (r == 1) return m;
    }
}

}  // namespace

std::mutex& fftw_planner_mutex() {
    static std::mutex m;
    return m;
}

fft_convolver::fft_convolver(int n_min) : m_n(smooth_size(n_min)) {
    m_real = fftw_alloc_real(static_cast<size_t>(m_n));
    fftw_complex* c = fftw_alloc_complex(static_cast<size_t>(m_n / 2 + 1));
    m_complex = c;
    const std::lock_guard<std::mutex> lock(fftw_planner_mutex());
    m_forward_plan = fftw_plan_dft_r2c_1d(m_n, m_real, c, FFTW_ESTIMATE);
    m_inverse_plan = fftw_plan_dft_c2r_1d(m_n, c, m_real, FFTW_ESTIMATE);
}

fft_convolver::~fft_convolver() {
    {
        const std::lock_guard<std::mutex> lock(fftw_planner_mutex());
        fftw_destroy_plan(static_cast<fftw_plan>(m_forward_plan));
        fftw_destroy_plan(static_cast<fftw_plan>(m_inverse_plan));
    }
    fftw_free(m_real);
    fftw_free(m_complex);
}

void fft_convolver::forward(const double* x, int len, std::vector<std::complex<double>>& spectrum) {
    std::copy(x, x + len, m_real);
    std::fill(m_real + len, m_real + m_n, 0.0);
    fftw_execute(static_cast<fftw_plan>(m_forward_plan));
    const auto* c = reinterpret_cast<const std::complex<double>*>(m_complex);
    spectrum.assign(c, c + m_n / 2 + 1);
}

void fft_convolver::inverse(const std::vector<std::complex<double>>& spectrum, double* out, int len) {
    std::copy(spectrum.begin(), spectrum.end(), reinterpret_cast<std::complex<double>*>(m_complex));
    fftw_execute(static_cast<fftw_plan>(m_inverse_plan));
    const double scale = 1.0 / m_n;
    for (int i = 0; i < len; ++i) out[i] = m_real[i] * scale;
}

hankel_operator::hankel_operator(const double* s, int N, int L)
    : m_L(L), m_K(N - L + 1), m_fft(N), m_reversed(static_cast<size_t>(std::max(L, N - L + 1))), m_conv(static_cast<size_t>(N)) {
    m_fft.forward(s, N, m_s_hat);
}

// out[m] = sum over i of s[m + i] v[i], m = 0..out_len-1: the convolution of
// the series with v reversed, read from index len - 1 on. A transform of at
// least N points keeps the wrapped tail below that index.
void hankel_operator::correlate(const double* v, int len, double* out, int out_len) {
    for (int i = 0; i < len; ++i) m_reversed[static_cast<size_t>(len - 1 - i)] = v[i];
    m_fft.forward(m_reversed.data(), len, m_v_hat);
    for (size_t f = 0; f < m_v_hat.size(); ++f) m_v_hat[f] *= m_s_hat[f];
    m_fft.inverse(m_v_hat, m_conv.data(), len - 1 + out_len);
    std::copy(m_conv.begin() + (len - 1), m_conv.begin() + (len - 1 + out_len), out);
}

void hankel_operator::transpose_times(const double* u, double* out) { correlate(u, m_L, out, m_K); }

void hankel_operator::times(const double* w, double* out) { correlate(w, m_K, out, m_L); }

void averaged_product(fft_convolver& fft, const std::vector<std::complex<double>>& a_spectrum,
                      const std::vector<std::complex<double>>& b_spectrum, int L, int K, double* out) {
    std::vector<std::complex<double>> product(a_spectrum.size());
    for (size_t i = 0; i < product.size(); ++i) product[i] = a_spectrum[i] * b_spectrum[i];
    const int N = L + K - 1;
    fft.inverse(product, out, N);
    for (int k = 0; k < N; ++k) out[k] /= antidiagonal_length(k, L, K);
}
