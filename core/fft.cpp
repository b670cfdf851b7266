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

void fft_convolver::convolve_reversed(const double* x, int len, const std::vector<std::complex<double>>& h, int from,
                                      int count, double* out) {
    for (int i = 0; i < len; ++i) m_real[len - 1 - i] = x[i];
    std::fill(m_real + len, m_real + m_n, 0.0);
    fftw_execute(static_cast<fftw_plan>(m_forward_plan));
    auto* c = reinterpret_cast<std::complex<double>*>(m_complex);
    for (int f = 0; f <= m_n / 2; ++f) c[f] *= h[static_cast<size_t>(f)];
    fftw_execute(static_cast<fftw_plan>(m_inverse_plan));
    const double scale = 1.0 / m_n;
    for (int i = 0; i < count; ++i) out[i] = m_real[from + i] * scale;
}

hankel_operator::hankel_operator(const double* s, int N, int L) : m_L(L), m_K(N - L + 1), m_fft(N) {
    m_fft.forward(s, N, m_s_hat);
}

// (X^T u)[j] = sum over i of s[i + j] u[i]: the convolution of the series with
// u reversed, read from index L - 1 on (X w likewise from K - 1). A transform
// of at least N points keeps the wrapped tail below that index.
void hankel_operator::transpose_times(const double* u, double* out) {
    m_fft.convolve_reversed(u, m_L, m_s_hat, m_L - 1, m_K, out);
}

void hankel_operator::times(const double* w, double* out) {
    m_fft.convolve_reversed(w, m_K, m_s_hat, m_K - 1, m_L, out);
}

void averaged_product(fft_convolver& fft, const std::vector<std::complex<double>>& a_spectrum,
                      const std::vector<std::complex<double>>& b_spectrum, int L, int K, double* out) {
    std::vector<std::complex<double>> product(a_spectrum.size());
    for (size_t i = 0; i < product.size(); ++i) product[i] = a_spectrum[i] * b_spectrum[i];
    const int N = L + K - 1;
    fft.inverse(product, out, N);
    for (int k = 0; k < N; ++k) out[k] /= antidiagonal_length(k, L, K);
}
