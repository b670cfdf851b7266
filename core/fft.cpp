#include "fft.h"

#include <fftw3.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <thread>

#include "file_replace.h"
#include "ssa_exception.h"
#include "two_pi.h"

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

// From this size on a transform is split between two threads and its plan
// measured: below it the threads' hand-over and the planning cost more than they save.
constexpr int large_size = 1 << 16;
// Seconds the planner may spend measuring one plan, so a first run on a new
// size stays within the progress interval.
constexpr double measuring_limit = 0.08;

// Guarded by fftw_planner_mutex().
struct planner_state {
    bool threads_ready = false;
    std::string folder;
    bool wisdom_loaded = false;
};

planner_state& planner() {
    static planner_state p;
    return p;
}

std::string wisdom_file(const std::string& folder) { return folder + "/fftw-wisdom"; }

// Keeps the planner's wisdom; a cache that cannot be written only costs the next run its plans.
void keep_wisdom(const std::string& folder) {
    for (size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        if (mkdir(folder.substr(0, slash).c_str(), 0700) != 0 && errno != EEXIST) return;
        if (slash == std::string::npos) break;
    }
    const std::unique_ptr<char, decltype(&std::free)> text(fftw_export_wisdom_to_string(), &std::free);
    if (!text) return;
    try {
        replace_file(wisdom_file(folder), text.get(), "unable to keep the FFT plans");
    } catch (const SSA_math_exception::file_exception&) {
    }
}

}  // namespace

std::mutex& fftw_planner_mutex() {
    static std::mutex m;
    return m;
}

void set_fft_wisdom_folder(const std::string& folder) {
    const std::lock_guard<std::mutex> lock(fftw_planner_mutex());
    planner().folder = folder;
    planner().wisdom_loaded = false;
}

std::string default_fft_wisdom_folder() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache && *cache == '/') return std::string(cache) + "/kelvane";
    const char* home = std::getenv("HOME");
    if (home && *home == '/') return std::string(home) + "/.cache/kelvane";
    return "";
}

fft_convolver::fft_convolver(int n_min, int max_threads) : m_n(smooth_size(n_min)) {
    m_real = fftw_alloc_real(static_cast<size_t>(m_n));
    fftw_complex* c = fftw_alloc_complex(static_cast<size_t>(m_n / 2 + 1));
    m_complex = c;
    const std::lock_guard<std::mutex> lock(fftw_planner_mutex());
    planner_state& p = planner();
    if (!p.threads_ready) p.threads_ready = fftw_init_threads() != 0;
    const bool large = m_n >= large_size;
    const bool two_cores = std::thread::hardware_concurrency() >= 2;
    fftw_plan_with_nthreads(large && p.threads_ready && two_cores && max_threads >= 2 ? 2 : 1);
    fftw_plan forward = nullptr, inverse = nullptr;
    if (large && !p.folder.empty()) {
        if (!p.wisdom_loaded) {
            fftw_import_wisdom_from_filename(wisdom_file(p.folder).c_str());
            p.wisdom_loaded = true;
        }
        forward = fftw_plan_dft_r2c_1d(m_n, m_real, c, FFTW_MEASURE | FFTW_WISDOM_ONLY);
        inverse = fftw_plan_dft_c2r_1d(m_n, c, m_real, FFTW_MEASURE | FFTW_WISDOM_ONLY);
        if (!forward || !inverse) {
            // Measuring overwrites the arrays: nothing is in them yet.
            if (forward) fftw_destroy_plan(forward);
            if (inverse) fftw_destroy_plan(inverse);
            fftw_set_timelimit(measuring_limit);
            forward = fftw_plan_dft_r2c_1d(m_n, m_real, c, FFTW_MEASURE);
            inverse = fftw_plan_dft_c2r_1d(m_n, c, m_real, FFTW_MEASURE);
            fftw_set_timelimit(FFTW_NO_TIMELIMIT);
            keep_wisdom(p.folder);
        }
    } else {
        forward = fftw_plan_dft_r2c_1d(m_n, m_real, c, FFTW_ESTIMATE);
        inverse = fftw_plan_dft_c2r_1d(m_n, c, m_real, FFTW_ESTIMATE);
    }
    m_forward_plan = forward;
    m_inverse_plan = inverse;
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
                                      int count, double* out, std::vector<std::complex<double>>* reversed_spectrum) {
    for (int i = 0; i < len; ++i) m_real[len - 1 - i] = x[i];
    std::fill(m_real + len, m_real + m_n, 0.0);
    fftw_execute(static_cast<fftw_plan>(m_forward_plan));
    auto* c = reinterpret_cast<std::complex<double>*>(m_complex);
    if (reversed_spectrum) reversed_spectrum->assign(c, c + m_n / 2 + 1);
    for (int f = 0; f <= m_n / 2; ++f) c[f] = spectrum_product(c[f], h[static_cast<size_t>(f)]);
    fftw_execute(static_cast<fftw_plan>(m_inverse_plan));
    const double scale = 1.0 / m_n;
    for (int i = 0; i < count; ++i) out[i] = m_real[from + i] * scale;
}

hankel_operator::hankel_operator(const double* s, int N, int L, int max_threads)
    : m_L(L), m_K(N - L + 1), m_fft(N, max_threads) {
    m_fft.forward(s, N, m_s_hat);
}

// (X^T u)[j] = sum over i of s[i + j] u[i]: the convolution of the series with
// u reversed, read from index L - 1 on (X w likewise from K - 1). A transform
// of at least N points keeps the wrapped tail below that index.
void hankel_operator::transpose_times(const double* u, double* out, std::vector<std::complex<double>>* u_spectrum) {
    m_fft.convolve_reversed(u, m_L, m_s_hat, m_L - 1, m_K, out, u_spectrum);
    if (!u_spectrum) return;
    // For real u, F(u backwards)[f] = e^{-2 pi i f (L-1) / n} conj(F(u)[f]):
    // the reconstructions save a transform per component by it.
    const int n = m_fft.size();
    if (m_shift.empty()) {
        m_shift.resize(static_cast<size_t>(n / 2 + 1));
        for (int f = 0; f <= n / 2; ++f) {
            // The angle's turns reduced exactly, so every factor is good to rounding.
            const long long turns = static_cast<long long>(f) * (m_L - 1) % n;
            const double angle = -two_pi * static_cast<double>(turns) / n;
            m_shift[static_cast<size_t>(f)] = {std::cos(angle), std::sin(angle)};
        }
    }
    for (size_t f = 0; f < m_shift.size(); ++f)
        (*u_spectrum)[f] = spectrum_product(std::conj((*u_spectrum)[f]), m_shift[f]);
}

void hankel_operator::times(const double* w, double* out) {
    m_fft.convolve_reversed(w, m_K, m_s_hat, m_K - 1, m_L, out);
}

void averaged_product(fft_convolver& fft, const std::vector<std::complex<double>>& a_spectrum,
                      const std::vector<std::complex<double>>& b_spectrum, int L, int K, double* out) {
    std::vector<std::complex<double>> product(a_spectrum.size());
    for (size_t i = 0; i < product.size(); ++i) product[i] = spectrum_product(a_spectrum[i], b_spectrum[i]);
    const int N = L + K - 1;
    fft.inverse(product, out, N);
    for (int k = 0; k < N; ++k) out[k] /= antidiagonal_length(k, L, K);
}
