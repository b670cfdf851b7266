#include "svd.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <cstdio>
#include <fstream>
#include <limits>
#include <mutex>
#include <optional>
#include <string>

#include "core/fft.h"
#include "core/number_text.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "group_reconstructor.h"
#include "leading_eigen.h"

namespace SVD {

namespace {

std::optional<double> installed_available;

// Data whose largest absolute value lies within 2^-100 .. 2^100 are decomposed unscaled.
constexpr double unscaled_peak_max = 0x1p100;

// Above this many multiplications the factor vectors come from FFT
// correlations instead of the reference's direct sums.
constexpr double direct_factor_limit = 5e7;

std::string memory_text(double bytes) {
    return bytes >= 1e9 ? format_text("%.1f GB", bytes / 1e9) : format_text("%.1f MB", bytes / 1e6);
}

}  // namespace

bool takes_truncated(const svd_options& options, int L) {
    const int k = options.components > 0 ? options.components : default_components;
    switch (options.solver) {
    case svd_solver::truncated:
        return k < L;
    case svd_solver::automatic:
        return L >= truncated_auto_min_L && options.components > 0 && options.components < L;
    default:
        return false;
    }
}

int truncated_components(const svd_options& options, int L) {
    if (!takes_truncated(options, L)) return L;
    return options.components > 0 ? options.components : default_components;
}

double decomposition_bytes(int N, int L, const svd_options& options) {
    const double l = L, k = static_cast<double>(N) - L + 1, n = N;
    if (takes_truncated(options, L)) {
        const double m = truncated_components(options, L);
        // The Lanczos bases on both sides with the eigenvectors formed from
        // them, or later the eigen- and factor vectors; a few FFT work arrays.
        const double basis = krylov_size(static_cast<int>(m), L, N - L + 1);
        return sizeof(double) * (std::max(l * (basis + m) + k * (basis + 1), (l + k) * m) + 12 * n);
    }
    // Covariance, the solver's copy, its eigenvectors and the kept
    // eigenvectors L x L each; the factor vectors K x L once built.
    return sizeof(double) * (l * k + 4 * l * l + 2 * n);
}

double available_memory() {
    if (installed_available) return *installed_available;
    // A cap of the user's (or a test's), so that the refusals do not depend on the host.
    if (const char* cap = std::getenv("KELVANE_MEMORY")) {
        double bytes = -1;
        const char* end = cap + std::strlen(cap);
        if (std::from_chars(cap, end, bytes).ptr == end && bytes >= 0) return bytes;
    }
    std::ifstream in("/proc/meminfo");
    for (std::string key; in >> key;) {
        double kb = 0;
        if (key == "MemAvailable:" && in >> kb) return kb * 1024;
        in.ignore(1 << 10, '\n');
    }
    return -1;
}

scoped_available_memory::scoped_available_memory(double bytes) : m_previous(installed_available.value_or(NAN)) {
    installed_available = bytes;
}

scoped_available_memory::~scoped_available_memory() {
    if (std::isnan(m_previous))
        installed_available.reset();
    else
        installed_available = m_previous;
}

void check_decomposition_memory(int N, int L, const svd_options& options) {
    const double available = available_memory();
    const double need = decomposition_bytes(N, L, options);
    if (available < 0 || need <= available) return;
    std::string message = "the decomposition of N = " + std::to_string(N) + " values for L = " + std::to_string(L) +
                          " needs about " + memory_text(need) + " of memory, but " + memory_text(available) +
                          " are available";
    if (takes_truncated(options, L)) {
        // Too many components asked for: a shorter window would change the
        // analysis, fewer components keep it. The need grows with k.
        const int k = truncated_components(options, L);
        const auto fits = [&](int m) { return decomposition_bytes(N, L, svd_options(svd_solver::truncated, m)) <= available; };
        int lo = 0, hi = k;  // !fits(hi)
        while (hi - lo > 1) {
            const int mid = lo + (hi - lo) / 2;
            (fits(mid) ? lo : hi) = mid;
        }
        message += lo >= 1 ? ": decompose the leading " + std::to_string(lo) + " components or fewer"
                           : ": no number of components fits";
        throw SSA_math_exception::resource_error(message);
    }
    // The need grows with L: the largest L that fits, by bisection.
    int lo = 1, hi = L;  // decomposition_bytes(N, hi) > available
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (decomposition_bytes(N, mid, options) <= available ? lo : hi) = mid;
    }
    // L = 1 leaves no decomposition worth the name.
    if (lo >= 2 && decomposition_bytes(N, lo, options) <= available)
        message += ": take L = " + std::to_string(lo) + " or smaller";
    else
        message += ": no window length fits";
    const svd_options leading(svd_solver::truncated, default_components);
    if (takes_truncated(leading, L) && decomposition_bytes(N, L, leading) <= available)
        message += ", or the truncated decomposition of the leading " + std::to_string(default_components) +
                   " components (" + memory_text(decomposition_bytes(N, L, leading)) + ")";
    throw SSA_math_exception::resource_error(message);
}

// The factor vectors, built on first use from the series the decomposition
// was made of (scaled as it was) and its eigenvalues as the solver gave them.
struct t_svd::factor_store {
    series values;
    std::vector<double> eig;
    int count = 0;   // columns from count on are 0
    bool exact = false;  // direct sums in the reference order, else FFT correlations
    std::mutex lock;
    std::unique_ptr<matrix> vectors;
};

t_svd::t_svd(const t_ts& ts, int L, const svd_options& options) : m_K(ts.size() - L + 1), m_L(L) {
    // Callers keep L within 1..N; a slip is reported rather than left to the allocations.
    if (L < 1 || L > ts.size())
        throw SSA_math_exception::out_of_range("incorrect window length: L = " + std::to_string(L) + " is outside 1.." +
                                               std::to_string(ts.size()));
    check_decomposition_memory(ts.size(), L, options);

    // Far from 1 the squares and their sums over- or underflow (the Jacobi
    // off-diagonal sum from about 1e75 on): such data are decomposed scaled by
    // a power of two, which is exact, and the eigenvalues scaled back. Data in
    // range are decomposed as they are.
    const series& values = ts.values();
    double peak = 0;
    for (int t = 0; t < values.size(); ++t) {
        if (!std::isfinite(values(t)))
            throw SSA_math_exception::bad_input("value " + std::to_string(t + 1) + " of the series is not a finite number");
        peak = std::max(peak, std::fabs(values(t)));
    }
    int exponent = 0;
    if (peak > 0 && (peak > unscaled_peak_max || peak < 1 / unscaled_peak_max)) std::frexp(peak, &exponent);
    series work(values.size());
    for (int t = 0; t < values.size(); ++t) work[t] = exponent == 0 ? values(t) : std::ldexp(values(t), -exponent);

    std::vector<double> eig;  // decreasing, in the work series' units
    double total = 0;         // the sum the contributions share
    if (takes_truncated(options, L)) {
        decompose_truncated(work, options, eig);
        // trace X X^T = sum of every eigenvalue: each value counted once per
        // antidiagonal element, without the eigenvalues not found.
        for (int t = 0; t < work.size(); ++t) total += antidiagonal_length(t, m_L, m_K) * work(t) * work(t);
    } else {
        decompose_full(work, options, eig);
    }
    const int m = static_cast<int>(eig.size());
    m_spectrum.resize(static_cast<size_t>(m));
    double sum = 0;
    for (int c = 0; c < m; ++c) {
        m_spectrum[static_cast<size_t>(c)] = eig[static_cast<size_t>(c)] > m_rounding ? eig[static_cast<size_t>(c)] : 0.0;
        sum += m_spectrum[static_cast<size_t>(c)];
    }
    if (!takes_truncated(options, L)) total = sum;
    m_eigenvalues = eig;
    m_contributions.resize(static_cast<size_t>(m));
    // A series with nothing above the bound has no shares to give: 0, not 0/0.
    // Shares are ratios: taken before scaling back, they cannot overflow.
    for (int c = 0; c < m; ++c) m_contributions[static_cast<size_t>(c)] = total > 0 ? eig[static_cast<size_t>(c)] / total : 0.0;

    auto store = std::make_shared<factor_store>();
    store->values = std::move(work);
    store->eig = std::move(eig);
    store->count = m_count;
    // Jacobi gives the reference results, and with them the reference sums.
    store->exact = (!takes_truncated(options, L) && full_solver(options.solver, L) == svd_solver::jacobi) ||
                   static_cast<double>(m_K) * L * m_count <= direct_factor_limit;
    m_factors = std::move(store);

    if (exponent != 0) {
        for (double& e : m_spectrum) e = std::ldexp(e, 2 * exponent);
        for (double& e : m_eigenvalues) e = std::ldexp(e, 2 * exponent);
        m_rounding = std::ldexp(m_rounding, 2 * exponent);
    }
    // A largest eigenvalue that is not a finite normal double would make every
    // eigenvalue and reconstruction wrong: refuse rather than pass it on.
    const double top = m_eigenvalues.empty() ? 0.0 : m_eigenvalues[0];
    if (!std::isfinite(top))
        throw SSA_math_exception::bad_input(
            "the eigenvalues of this series exceed the range of doubles");
    if (m_count > 0 && top < std::numeric_limits<double>::min())
        throw SSA_math_exception::bad_input(
            "the eigenvalues of this series fall below the range of doubles");
}

void t_svd::settle_count(std::vector<double>& eig, double rounding, double in_use) {
    m_rounding = rounding;
    m_count = 0;
    while (m_count < static_cast<int>(eig.size()) && eig[static_cast<size_t>(m_count)] > in_use) ++m_count;
    // Beyond the count the solver's values are rounding: 0 from there on.
    std::fill(eig.begin() + m_count, eig.end(), 0.0);
}

void t_svd::decompose_full(const series& values, const svd_options& options, std::vector<double>& eig) {
    const int L = m_L;
    std::vector<double> r;  // column-major eigenvectors
    double leftover = 0;
    {
        matrix covariance(L, L);
        hankel_covariance(values, L, covariance);
        symmetric_eigen(covariance, options.solver, eig, r, leftover, options.vectors);
    }
    const double rounding = eigen_rounding_level(eig.empty() ? 0.0 : eig[0], m_L, m_K, leftover);
    settle_count(eig, rounding, eigen_in_use_factor * rounding);
    if (!options.vectors) {
        m_eigenvectors = std::make_shared<matrix>(L, 0);
        return;
    }

    // U(i, c) = R(i, c) for c < count: a transposition, blocked to stay in cache.
    auto U = std::make_shared<matrix>(L, L);
    constexpr int block = 64;
    for (int i0 = 0; i0 < L; i0 += block)
        for (int c0 = 0; c0 < L; c0 += block)
            for (int i = i0; i < std::min(i0 + block, L); ++i) {
                double* ui = U->row(i);
                for (int c = c0; c < std::min(c0 + block, L); ++c)
                    ui[c] = c < m_count ? r[static_cast<size_t>(c) * L + i] : 0.0;
                report_progress("eigenvectors", i + 1, L);
            }
    m_eigenvectors = std::move(U);
}

void t_svd::decompose_truncated(const series& values, const svd_options& options, std::vector<double>& eig) {
    const int k = truncated_components(options, m_L);
    std::vector<double> sigma;
    auto U = std::make_shared<matrix>(m_L, k);
    leading_singular(values, m_L, k, options.max_restarts, sigma, *U);
    // The singular values are good to their own rounding level, eps sigma_1
    // (16 + sqrt(N)), not to that of their squares: the same rule in units
    // of sigma, so a component the data hold far above double precision is
    // in use even where its eigenvalue is below eps lambda_1.
    const double level = singular_rounding_level(sigma[0], N());
    eig.resize(sigma.size());
    for (size_t c = 0; c < sigma.size(); ++c) eig[c] = sigma[c] * sigma[c];
    settle_count(eig, level * level, std::pow(eigen_in_use_factor * level, 2));
    if (m_count < k)
        for (int i = 0; i < m_L; ++i) {
            std::fill(U->row(i) + m_count, U->row(i) + k, 0.0);
            report_progress("eigenvectors", i + 1, m_L);
        }
    m_eigenvectors = std::move(U);
}

void t_svd::check_vectors() const {
    if (m_eigenvectors->cols() == 0)
        throw SSA_math_exception::internal_error("this decomposition holds the eigenvalues alone, no eigentriple");
}

void t_svd::check_component(int c) const {
    check_vectors();
    if (c >= 0 && c < components()) return;
    if (c >= 0 && truncated())
        throw SSA_math_exception::bad_input("component " + std::to_string(c + 1) + " is beyond the " +
                                            std::to_string(components()) +
                                            " eigentriples of this truncated decomposition: ask for more components");
    throw SSA_math_exception::out_of_range("in matrix::operator[]");
}

const matrix& t_svd::factor_vectors() const {
    check_vectors();
    factor_store& f = *m_factors;
    const std::lock_guard<std::mutex> guard(f.lock);
    if (f.vectors) return *f.vectors;
    auto V = std::make_unique<matrix>(0, 0);  // sized by the build
    trajectory_factor_vectors(f.values, *m_eigenvectors, f.eig, f.count, f.exact, *V);
    f.vectors = std::move(V);
    return *f.vectors;
}

std::unique_ptr<hankel_operator> t_svd::hankel(int max_threads) const {
    return std::make_unique<hankel_operator>(m_factors->values.data(), m_factors->values.size(), m_L, max_threads);
}

bool t_svd::elementary_factors(int c, double* a, double* b, hankel_operator* work,
                               std::vector<std::complex<double>>* a_spectrum) const {
    check_component(c);
    const factor_store& f = *m_factors;
    const matrix& U = *m_eigenvectors;
    const double s = std::sqrt(m_spectrum[static_cast<size_t>(c)]);
    if (c >= f.count || s == 0) {
        std::fill(a, a + m_L, 0.0);
        std::fill(b, b + m_K, 0.0);
        return false;
    }
    if (f.exact) {
        const matrix& V = factor_vectors();
        for (int i = 0; i < m_L; ++i) a[i] = s * U(i, c);
        for (int j = 0; j < m_K; ++j) b[j] = V(j, c);
        return false;
    }
    // Never from built vectors, so the result does not depend on whether someone built them.
    for (int i = 0; i < m_L; ++i) a[i] = U(i, c);
    (work ? *work : *hankel()).transpose_times(a, b, a_spectrum);
    // X^T U_c is in the work series' units; the spectrum in the data's.
    const double unit = s / std::sqrt(f.eig[static_cast<size_t>(c)]);
    if (unit != 1.0)
        for (int j = 0; j < m_K; ++j) b[j] *= unit;
    return a_spectrum != nullptr;
}

t_eigen_triple t_svd::triple(int c) const {
    check_component(c);
    const matrix& U = *m_eigenvectors;
    const matrix& V = factor_vectors();
    t_eigen_triple t(m_L, m_K);
    t.number = c;
    t.eigenvalue = m_eigenvalues[static_cast<size_t>(c)];
    t.contribution = m_contributions[static_cast<size_t>(c)];
    for (int i = 0; i < m_L; ++i) t.eigenvector[static_cast<size_t>(i)] = U(i, c);
    const double s = std::sqrt(t.eigenvalue);
    for (int j = 0; j < m_K; ++j) {
        t.factor_vector[static_cast<size_t>(j)] = V(j, c);
        t.principal_component[static_cast<size_t>(j)] = s * V(j, c);
    }
    return t;
}

void t_svd::reconstruct(const std::vector<int>& indices, t_ts& out) const { out = t_ts(reconstruct_values(indices)); }

series t_svd::reconstruct_values(const std::vector<int>& indices) const {
    series g(N());
    group_reconstructor(*this).reconstruct(indices.data(), static_cast<int>(indices.size()), g);
    return g;
}

}  // namespace SVD

t_eigen_triple::t_eigen_triple(int L, int K)
    : factor_vector(static_cast<size_t>(K), 0.0),
      principal_component(static_cast<size_t>(K), 0.0),
      eigenvector(static_cast<size_t>(L), 0.0) {}
