// Linear convolutions by FFT: the fast products with trajectory (Hankel)
// matrices and the diagonal averages of rank-one matrices for long series.
#pragma once

#include <complex>
#include <mutex>
#include <string>
#include <vector>

// FFTW's planner (plan creation and destruction) is not thread-safe; every
// caller in the process takes this lock around it. Executing plans is safe.
std::mutex& fftw_planner_mutex();

// Where measured FFTW plans (wisdom) are kept between runs. Empty, the
// default, keeps none: every plan is estimated. The programs set it at
// start-up; tests leave it empty or give a folder of their own.
void set_fft_wisdom_folder(const std::string& folder);
// $XDG_CACHE_HOME/kelvane, else ~/.cache/kelvane; empty when neither is known.
std::string default_fft_wisdom_folder();

// Transforms of many points run on both cores; plans of such sizes are
// measured (within a short time limit) once a wisdom folder is set and kept
// there, estimated while none is kept.
class fft_convolver {
public:
    // Transforms of at least n_min points, so convolutions of total length up
    // to n_min do not wrap, on at most max_threads threads.
    explicit fft_convolver(int n_min, int max_threads = 2);
    ~fft_convolver();
    fft_convolver(const fft_convolver&) = delete;
    fft_convolver& operator=(const fft_convolver&) = delete;

    int size() const { return m_n; }
    // The spectrum of x[0..len) padded with zeros.
    void forward(const double* x, int len, std::vector<std::complex<double>>& spectrum);
    // out[0..len) = the first len points of the inverse transform, scaled by 1/size.
    void inverse(const std::vector<std::complex<double>>& spectrum, double* out, int len);
    // out[0..count) = points from..from+count of the convolution of x[0..len)
    // taken backwards with the signal whose spectrum (from forward) is h, all
    // in the transforms' own buffers; with reversed_spectrum, also the
    // spectrum of x taken backwards.
    void convolve_reversed(const double* x, int len, const std::vector<std::complex<double>>& h, int from, int count,
                           double* out, std::vector<std::complex<double>>* reversed_spectrum = nullptr);

private:
    int m_n;
    double* m_real;
    void* m_complex;
    void* m_forward_plan;
    void* m_inverse_plan;
};

// a * b written out: the operator calls the library's checked routine for
// infinite parts, which costs as much as the transforms themselves.
inline std::complex<double> spectrum_product(std::complex<double> a, std::complex<double> b) {
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// Number of elements on antidiagonal k of an L x K matrix.
inline int antidiagonal_length(int k, int L, int K) {
    const int shorter = L < K ? L : K, longer = L < K ? K : L;
    const int lo = k < longer ? 0 : k - longer + 1;
    const int hi = k < shorter - 1 ? k : shorter - 1;
    return hi - lo + 1;
}

// Products with the trajectory matrix X (L x K, X(i, j) = s[i + j]) of a
// series without forming it: X^T u and X w are correlations of the series,
// one forward and one inverse transform each.
class hankel_operator {
public:
    hankel_operator(const double* s, int N, int L, int max_threads = 2);
    int L() const { return m_L; }
    int K() const { return m_K; }
    // out[0..K) = X^T u for u[0..L); with u_spectrum, also the spectrum of u
    // (as fft_convolver::forward gives it) from the same transform.
    void transpose_times(const double* u, double* out, std::vector<std::complex<double>>* u_spectrum = nullptr);
    // out[0..L) = X w for w[0..K).
    void times(const double* w, double* out);

private:
    int m_L, m_K;
    fft_convolver m_fft;
    std::vector<std::complex<double>> m_s_hat;
    std::vector<std::complex<double>> m_shift;  // e^{-2 pi i f (L-1) / n}, made when first asked for
};

// Diagonal average of the L x K matrix a b^T given the spectra of a (length L)
// and b (length K): out[0..L+K-1).
void averaged_product(fft_convolver& fft, const std::vector<std::complex<double>>& a_spectrum,
                      const std::vector<std::complex<double>>& b_spectrum, int L, int K, double* out);
