// The SSA decomposition of a series for a window length L.
#pragma once

#include <vector>

#include "core/matrix.h"
#include "core/object.h"
#include "timeseries/ts.h"

class t_eigen_triple : public t_object {
public:
    explicit t_eigen_triple(int L = 0, int K = 0);
    ~t_eigen_triple() override = default;

    int number = -1;
    double contribution = 0;  // share 0..1 of the sum of the spectrum
    std::vector<double> factor_vector;
    std::vector<double> principal_component;
    std::vector<double> eigenvector;
    double eigenvalue = 0;
};

namespace SVD {

// Bytes a decomposition of N values for window length L holds at its peak:
// the trajectory matrix, the lag-covariance and the eigen solver's two L x L
// arrays, with the eigenvector and factor-vector matrices it keeps.
double decomposition_bytes(int N, int L);
// MemAvailable of /proc/meminfo in bytes, or what a scoped_available_memory
// installed; negative when unknown.
double available_memory();

// Makes available_memory() return bytes while it lives (tests).
class scoped_available_memory {
public:
    explicit scoped_available_memory(double bytes);
    ~scoped_available_memory();
    scoped_available_memory(const scoped_available_memory&) = delete;
    scoped_available_memory& operator=(const scoped_available_memory&) = delete;

private:
    double m_previous;
};

// Throws ssa_exception naming the need and the largest L that fits when the
// decomposition needs more than is available; an unknown amount passes.
void check_decomposition_memory(int N, int L);

class t_svd : public t_object {
public:
    // Refuses, by check_decomposition_memory, a decomposition the machine cannot hold.
    t_svd(const t_ts& ts, int L, svd_solver solver = svd_solver::automatic);
    t_svd(const t_svd& o) = default;
    t_svd& operator=(const t_svd& o) = default;
    ~t_svd() override = default;

    // The leading eigenvalues above eigen_in_use_factor times rounding() (core/matrix.h);
    // those at or below rounding() are 0 in the spectrum.
    int count() const { return m_count; }
    void set_count(int n) { m_count = n; }
    int L() const { return m_L; }
    int K() const { return m_K; }
    int N() const { return m_L + m_K - 1; }
    const std::vector<double>& spectrum() const { return m_spectrum; }
    const matrix& eigenvectors() const { return m_eigenvectors; }
    const matrix& factor_vectors() const { return m_factor_vectors; }
    // Eigentriple c (0 <= c < L), assembled from the matrices on demand so that
    // the decomposition holds every vector once.
    t_eigen_triple triple(int c) const;
    double contribution(int c) const { return m_contributions.at(static_cast<size_t>(c)); }
    double eigenvalue(int c) const { return m_eigenvalues.at(static_cast<size_t>(c)); }
    // How far the eigenvalues can be from the truth through rounding.
    double rounding() const { return m_rounding; }

    // The series of one group of eigentriples, with tick marks 1..N.
    void reconstruct(const std::vector<int>& indices, t_ts& out) const;
    // The same values without tick marks.
    series reconstruct_values(const std::vector<int>& indices) const;

private:
    // The trajectory matrix is a work array of the constructor: nothing reads it afterwards.
    int m_K = 0;
    int m_L = 0;
    std::vector<double> m_spectrum;
    matrix m_eigenvectors;
    matrix m_factor_vectors;
    std::vector<double> m_eigenvalues;    // as the solver returned them
    std::vector<double> m_contributions;  // shares 0..1 of the sum of the spectrum
    int m_count = 0;
    double m_rounding = 0;
};

}  // namespace SVD
