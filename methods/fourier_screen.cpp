#include "fourier_screen.h"

#include <fftw3.h>

#include <limits>

#include "core/fft.h"
#include "core/two_pi.h"

namespace fourier {

namespace {

constexpr double unit_roundoff = 0x1p-53;

// The bounds below are worst cases already; the factor covers what they
// leave out (the accuracy of the FFT's twiddles, of libm's cos and sin).
constexpr double safety = 16;

// FFTW buffers of one thread.
struct fft_buffers {
    double* in;
    fftw_complex* out;
    explicit fft_buffers(int n)
        : in(fftw_alloc_real(static_cast<std::size_t>(n))),
          out(fftw_alloc_complex(static_cast<std::size_t>(n / 2 + 1))) {}
    ~fft_buffers() {
        fftw_free(in);
        fftw_free(out);
    }
    fft_buffers(const fft_buffers&) = delete;
    fft_buffers& operator=(const fft_buffers&) = delete;
};

}  // namespace

std::vector<double> gather_columns(const double* x, int n, std::size_t stride, const std::vector<int>& columns) {
    const std::size_t un = static_cast<std::size_t>(n), m = columns.size();
    std::vector<double> data(un * m);
    // Blocks of columns, so that each row is read a cache line at a time.
    constexpr std::size_t block = 16;
    for (std::size_t j0 = 0; j0 < m; j0 += block) {
        const std::size_t j1 = std::min(m, j0 + block);
        for (std::size_t t = 0; t < un; ++t)
            for (std::size_t j = j0; j < j1; ++j)
                data[j * un + t] = x[t * stride + static_cast<std::size_t>(columns[j])];
    }
    return data;
}

std::vector<double> rows_of(const double* data, int n, const std::vector<int>& columns) {
    const std::size_t un = static_cast<std::size_t>(n), m = columns.size();
    std::vector<double> rows(un * m);
    for (std::size_t i = 0; i < m; ++i)
        for (std::size_t t = 0; t < un; ++t) rows[t * m + i] = data[static_cast<std::size_t>(columns[i]) * un + t];
    return rows;
}

void power_spectra(const double* data, int n, int m, int nf, const std::function<void(int, const double*)>& visit,
                   const progress_span& progress) {
    if (m == 0 || n == 0) return;
    // The planner is not thread-safe: plan here, execute on new arrays in each thread.
    fft_buffers planned(n);
    const fftw_plan plan = [&] {
        const std::lock_guard<std::mutex> lock(fftw_planner_mutex());
        return fftw_plan_dft_r2c_1d(n, planned.in, planned.out, FFTW_ESTIMATE);
    }();
    struct plan_guard {
        fftw_plan p;
        ~plan_guard() {
            const std::lock_guard<std::mutex> lock(fftw_planner_mutex());
            fftw_destroy_plan(p);
        }
    } guard{plan};
    const std::size_t un = static_cast<std::size_t>(n);

    split_in_two(m, m >= 8 && static_cast<double>(m) * n >= 1e6, [&](int j0, int j1) {
        fft_buffers own(n);
        std::vector<double> power(static_cast<std::size_t>(nf));
        for (int j = j0; j < j1; ++j) {
            std::copy(data + static_cast<std::size_t>(j) * un, data + static_cast<std::size_t>(j + 1) * un, own.in);
            fftw_execute_dft_r2c(plan, own.in, own.out);
            for (int k = 0; k < nf; ++k) {
                const int i = k <= n / 2 ? k : n - k;
                power[static_cast<std::size_t>(k)] = own.out[i][0] * own.out[i][0] + own.out[i][1] * own.out[i][1];
            }
            visit(j, power.data());
            progress.report(j - j0 + 1, j1 - j0);
        }
    });
}

power_error_bound::power_error_bound(int n, double scale, const std::vector<double>& freqs) : m_n(n) {
    const double u = unit_roundoff;
    // The double nearest 2 pi is within 2.5e-16 of it.
    const double scale_gap = std::fabs(scale - two_pi) + 1e-15;
    m_rate.resize(freqs.size());
    for (std::size_t k = 0; k < freqs.size(); ++k) {
        const double f = std::fabs(freqs[k]);
        // Angle off 2 pi t k / n by t times: the constant's gap, the frequency's
        // distance to k / n (its accumulation drift; 7 > 2 pi), and two roundings
        // of the products.
        const double drift = std::fabs(freqs[k] - static_cast<double>(k) / n) + u;
        m_rate[k] = scale_gap * f + 7 * drift + 4 * u * std::fabs(scale) * f;
    }
    // Each direct sum: n roundings of products and sums and cos or sin off by an
    // ulp, for C and S together; the FFT: O(log n) roundings of the 2-norm of X.
    m_sum_rounding = std::sqrt(2.0) * 2 * (n + 8) * u;
    m_fft_rounding = 20 * std::log2(std::max(n, 2)) * u * std::sqrt(static_cast<double>(n));
}

power_error_bound::column_terms power_error_bound::terms(const double* column) const {
    double abs_sum = 0, weighted = 0, squares = 0;
    for (int t = 0; t < m_n; ++t) {
        const double a = std::fabs(column[t]);
        abs_sum += a;
        weighted += t * a;
        squares += a * a;
    }
    // Sums of non-negative terms, off by n roundings at most: the safety factor covers it.
    return {safety * weighted, safety * (m_sum_rounding * abs_sum + m_fft_rounding * std::sqrt(squares))};
}

double power_error_bound::operator()(const column_terms& c, int k, double power) const {
    const double modulus = std::sqrt(power);
    // Bound on | |X_direct| - |X_fft| |; the powers then differ by at most
    // (2 |X_fft| + d) d, and each was rounded when squared and added.
    const double d = c.weighted * m_rate[static_cast<std::size_t>(k)] + c.rounding;
    return (2 * modulus + d) * d + 32 * unit_roundoff * (modulus + d) * (modulus + d) +
           std::numeric_limits<double>::min();
}

const bin_request& find_request(const std::vector<bin_request>& requests, int k, int j) {
    return *std::lower_bound(requests.begin(), requests.end(), std::make_pair(k, j),
                             [](const bin_request& r, const std::pair<int, int>& key) {
                                 return r.k < key.first || (r.k == key.first && r.j < key.second);
                             });
}

}  // namespace fourier
