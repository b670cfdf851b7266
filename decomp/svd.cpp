#include "svd.h"

#include <cmath>

#include "core/ssa_exception.h"

namespace SVD {

t_svd::t_svd(const t_ts& ts, int L, svd_solver solver) : m_K(ts.size() - L + 1), m_L(L) {
    // Callers keep L within 1..N; a slip is reported rather than left to the allocations.
    if (L < 1 || L > ts.size())
        throw SSA_math_exception::out_of_range("incorrect window length inside t_svd(const t_ts& ts, int L)");
    const int K = m_K;
    m_spectrum.assign(static_cast<size_t>(L), 0.0);
    m_eigenvectors.resize(L, L);
    m_factor_vectors.resize(K, L);
    m_trajectory.resize(L, K);
    m_triples.reserve(static_cast<size_t>(L));
    for (int c = 0; c < L; ++c) {
        m_triples.emplace_back(L, K);
        m_triples.back().number = c;
    }

    m_trajectory.embed(ts.values());
    series eig(L);
    {
        // The covariance is only a work array here; free it before the triples are filled.
        matrix covariance(L, L);
        m_trajectory.svd(eig, covariance, m_eigenvectors, m_factor_vectors, m_count, count_bound, solver);
    }

    double sum = 0;
    for (int c = 0; c < L; ++c) {
        m_spectrum[static_cast<size_t>(c)] = eig(c) > spectrum_zero ? eig(c) : 0.0;
        sum += m_spectrum[static_cast<size_t>(c)];
    }

    for (int c = 0; c < L; ++c) {
        t_eigen_triple& t = m_triples[static_cast<size_t>(c)];
        for (int i = 0; i < L; ++i) t.eigenvector[static_cast<size_t>(i)] = m_eigenvectors(i, c);
        const double s = std::sqrt(eig(c));
        for (int j = 0; j < K; ++j) {
            t.factor_vector[static_cast<size_t>(j)] = m_factor_vectors(j, c);
            t.principal_component[static_cast<size_t>(j)] = s * m_factor_vectors(j, c);
        }
        t.eigenvalue = eig(c);
        // A series with nothing above the bound has no shares to give: 0, not 0/0.
        t.contribution = sum > 0 ? eig(c) / sum : 0.0;
    }
}

t_svd::t_svd(const t_svd& o)
    : t_object(o),
      m_K(o.m_K),
      m_L(o.m_L),
      m_spectrum(o.m_spectrum),
      m_eigenvectors(o.m_eigenvectors),
      m_factor_vectors(o.m_factor_vectors),
      m_triples(o.m_triples),
      m_count(o.m_count) {}

t_svd& t_svd::operator=(const t_svd& o) {
    if (this == &o) return *this;
    m_K = o.m_K;
    m_L = o.m_L;
    m_spectrum = o.m_spectrum;
    m_triples = o.m_triples;
    m_eigenvectors = o.m_eigenvectors;
    m_factor_vectors = o.m_factor_vectors;
    m_count = o.m_count;
    return *this;
}

void t_svd::reconstruct(const std::vector<int>& indices, t_ts& out) const { out = t_ts(reconstruct_values(indices)); }

series t_svd::reconstruct_values(const std::vector<int>& indices) const {
    matrix y(m_L, m_K);
    y.reconstruct_group(m_spectrum, m_eigenvectors, m_factor_vectors, static_cast<int>(indices.size()),
                        indices.data());
    series g(N());
    y.diagonal_average(g);
    return g;
}

}  // namespace SVD

t_eigen_triple::t_eigen_triple(int L, int K)
    : factor_vector(static_cast<size_t>(K), 0.0),
      principal_component(static_cast<size_t>(K), 0.0),
      eigenvector(static_cast<size_t>(L), 0.0) {}
