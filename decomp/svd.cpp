#include "svd.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <optional>
#include <string>

#include "core/ssa_exception.h"
#include "group_reconstructor.h"

namespace SVD {

namespace {

std::optional<double> installed_available;

// Data whose largest absolute value lies within 2^-100 .. 2^100 are decomposed unscaled.
constexpr double unscaled_peak_max = 0x1p100;

std::string memory_text(double bytes) {
    char buf[32];
    if (bytes >= 1e9)
        std::snprintf(buf, sizeof buf, "%.1f GB", bytes / 1e9);
    else
        std::snprintf(buf, sizeof buf, "%.1f MB", bytes / 1e6);
    return buf;
}

}  // namespace

double decomposition_bytes(int N, int L) {
    const double l = L, k = static_cast<double>(N) - L + 1;
    // Trajectory and factor vectors L x K each; covariance, the solver's copy,
    // its eigenvectors and the kept eigenvectors L x L each.
    return sizeof(double) * (2 * l * k + 4 * l * l);
}

double available_memory() {
    if (installed_available) return *installed_available;
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

void check_decomposition_memory(int N, int L) {
    const double available = available_memory();
    const double need = decomposition_bytes(N, L);
    if (available < 0 || need <= available) return;
    // The need grows with L: the largest L that fits, by bisection.
    int lo = 1, hi = L;  // decomposition_bytes(N, hi) > available
    while (hi - lo > 1) {
        const int mid = lo + (hi - lo) / 2;
        (decomposition_bytes(N, mid) <= available ? lo : hi) = mid;
    }
    std::string message = "the decomposition of N = " + std::to_string(N) + " values for L = " + std::to_string(L) +
                          " needs about " + memory_text(need) + " of memory, but " + memory_text(available) +
                          " are available";
    // L = 1 leaves no decomposition worth the name.
    if (lo >= 2 && decomposition_bytes(N, lo) <= available)
        message += ": take L = " + std::to_string(lo) + " or smaller";
    else
        message += ": no window length fits";
    throw SSA_math_exception::ssa_exception(message);
}

t_svd::t_svd(const t_ts& ts, int L, svd_solver solver) : m_K(ts.size() - L + 1), m_L(L) {
    // Callers keep L within 1..N; a slip is reported rather than left to the allocations.
    if (L < 1 || L > ts.size())
        throw SSA_math_exception::out_of_range("incorrect window length inside t_svd(const t_ts& ts, int L)");
    check_decomposition_memory(ts.size(), L);
    const int K = m_K;
    m_spectrum.assign(static_cast<size_t>(L), 0.0);
    m_eigenvectors.resize(L, L);
    m_factor_vectors.resize(K, L);

    // Far from 1 the squares and their sums over- or underflow (the Jacobi
    // off-diagonal sum from about 1e75 on): such data are decomposed scaled by
    // a power of two, which is exact, and the eigenvalues scaled back. Data in
    // range are decomposed as they are.
    const series& values = ts.values();
    double peak = 0;
    for (int t = 0; t < values.size(); ++t) {
        if (!std::isfinite(values(t)))
            throw SSA_math_exception::ssa_exception("a value of the series is not finite inside t_svd(const t_ts& ts, int L)");
        peak = std::max(peak, std::fabs(values(t)));
    }
    int exponent = 0;
    if (peak > 0 && (peak > unscaled_peak_max || peak < 1 / unscaled_peak_max)) std::frexp(peak, &exponent);

    series eig(L);
    {
        // Work arrays of the decomposition only.
        matrix trajectory(L, K);
        if (exponent == 0) {
            trajectory.embed(values);
        } else {
            series scaled(values.size());
            for (int t = 0; t < values.size(); ++t) scaled[t] = std::ldexp(values(t), -exponent);
            trajectory.embed(scaled);
        }
        matrix covariance(L, L);
        trajectory.svd(eig, covariance, m_eigenvectors, m_factor_vectors, m_count, m_rounding, solver);
    }

    double sum = 0;
    for (int c = 0; c < L; ++c) {
        m_spectrum[static_cast<size_t>(c)] = eig(c) > m_rounding ? eig(c) : 0.0;
        sum += m_spectrum[static_cast<size_t>(c)];
    }
    m_eigenvalues.assign(eig.data(), eig.data() + L);
    m_contributions.resize(static_cast<size_t>(L));
    // A series with nothing above the bound has no shares to give: 0, not 0/0.
    // Shares are ratios: taken before scaling back, they cannot overflow.
    for (int c = 0; c < L; ++c) m_contributions[static_cast<size_t>(c)] = sum > 0 ? eig(c) / sum : 0.0;

    if (exponent != 0) {
        for (double& e : m_spectrum) e = std::ldexp(e, 2 * exponent);
        for (double& e : m_eigenvalues) e = std::ldexp(e, 2 * exponent);
        m_rounding = std::ldexp(m_rounding, 2 * exponent);
    }
    // A largest eigenvalue that is not a finite normal double would make every
    // eigenvalue and reconstruction wrong: refuse rather than pass it on.
    const double top = m_eigenvalues[0];
    if (!std::isfinite(top))
        throw SSA_math_exception::ssa_exception(
            "the eigenvalues of this series exceed the range of doubles inside t_svd(const t_ts& ts, int L)");
    if (m_count > 0 && top < std::numeric_limits<double>::min())
        throw SSA_math_exception::ssa_exception(
            "the eigenvalues of this series fall below the range of doubles inside t_svd(const t_ts& ts, int L)");
}

t_eigen_triple t_svd::triple(int c) const {
    if (c < 0 || c >= m_L) throw SSA_math_exception::out_of_range("incorrect eigentriple number in t_svd::triple");
    t_eigen_triple t(m_L, m_K);
    t.number = c;
    t.eigenvalue = m_eigenvalues[static_cast<size_t>(c)];
    t.contribution = m_contributions[static_cast<size_t>(c)];
    for (int i = 0; i < m_L; ++i) t.eigenvector[static_cast<size_t>(i)] = m_eigenvectors(i, c);
    const double s = std::sqrt(t.eigenvalue);
    for (int j = 0; j < m_K; ++j) {
        t.factor_vector[static_cast<size_t>(j)] = m_factor_vectors(j, c);
        t.principal_component[static_cast<size_t>(j)] = s * m_factor_vectors(j, c);
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
