// The SSA decomposition of a series for a window length L.
#pragma once

#include <memory>
#include <vector>

#include "core/fft.h"
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

// How a decomposition is made: the solver and, for the truncated one, how
// many leading eigentriples it finds.
struct svd_options {
    svd_options(svd_solver s = svd_solver::automatic, int k = 0) : solver(s), components(k) {}
    svd_solver solver;
    // The truncated solver's k; 0 (or L and above) asks for every eigentriple.
    int components;
    // The truncated solver's restarts before it gives up (tests lower it).
    int max_restarts = 1000;
    // False: the eigenvalues alone, for a caller that needs no vector (the
    // full path's LAPACK solver then skips them, about half its time). Such a
    // decomposition refuses every component access.
    bool vectors = true;
};

// Where automatic takes the truncated solver: windows longer than this, with
// fewer components asked for than L.
constexpr int truncated_auto_min_L = 2001;
// The truncated solver's k when none is given.
constexpr int default_components = 50;

// Whether options on a window length L give the truncated decomposition, and of how many eigentriples.
bool takes_truncated(const svd_options& options, int L);
int truncated_components(const svd_options& options, int L);

// Bytes a decomposition of N values for window length L holds at its peak:
// the full one the lag-covariance, the eigen solver's two L x L arrays and the
// kept eigenvectors, with the factor vectors it builds on first use; the
// truncated one its Krylov basis, the k eigen- and factor vectors and its FFT work arrays.
double decomposition_bytes(int N, int L, const svd_options& options = {});
// MemAvailable of /proc/meminfo in bytes, or the bytes $KELVANE_MEMORY gives,
// or what a scoped_available_memory installed; negative when unknown.
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
void check_decomposition_memory(int N, int L, const svd_options& options = {});

class t_svd : public t_object {
public:
    // Refuses, by check_decomposition_memory, a decomposition the machine cannot hold.
    t_svd(const t_ts& ts, int L, const svd_options& options = {});
    t_svd(const t_svd& o) = default;
    t_svd& operator=(const t_svd& o) = default;
    ~t_svd() override = default;

    // The leading eigenvalues above eigen_in_use_factor times rounding() (core/matrix.h),
    // on a truncated decomposition the singular values above that factor times
    // their own level (rounding() = its square); those at or below rounding()
    // are 0 in the spectrum.
    int count() const { return m_count; }
    void set_count(int n) { m_count = n; }
    int L() const { return m_L; }
    int K() const { return m_K; }
    int N() const { return m_L + m_K - 1; }
    // How many eigentriples the decomposition holds: L, or the truncated solver's k.
    int components() const { return static_cast<int>(m_eigenvalues.size()); }
    bool truncated() const { return components() < m_L; }
    // Throws ssa_exception naming the limit when component c (0-based) is not held.
    void check_component(int c) const;
    // One value per component held.
    const std::vector<double>& spectrum() const { return m_spectrum; }
    const matrix& eigenvectors() const { return *m_eigenvectors; }
    // K x components(); built on first use (thread-safe), the decomposition
    // itself needs only the eigenvectors.
    const matrix& factor_vectors() const;
    // Vectors a (L values) and b (K values) with a b^T the elementary matrix
    // of component c: by the factor vectors when they are the reference sums,
    // else b = X^T U_c by FFT without building them, through work when given
    // (an operator over this decomposition's series from hankel()). Returns
    // whether a_spectrum, when given, now holds a's spectrum (from the FFT's
    // own transform, as fft_convolver::forward over N points gives it).
    bool elementary_factors(int c, double* a, double* b, hankel_operator* work = nullptr,
                            std::vector<std::complex<double>>* a_spectrum = nullptr) const;
    // The FFT products with this decomposition's trajectory matrix, on at most max_threads threads.
    std::unique_ptr<hankel_operator> hankel(int max_threads = 2) const;
    // Eigentriple c (0 <= c < components()), assembled on demand so that the
    // decomposition holds every vector once.
    t_eigen_triple triple(int c) const;
    double contribution(int c) const { return m_contributions.at(static_cast<size_t>(c)); }
    double eigenvalue(int c) const { return m_eigenvalues.at(static_cast<size_t>(c)); }
    // How far the eigenvalues can be from the truth through rounding (and the
    // Jacobi rotations' leftover); on a truncated decomposition the square of
    // the singular values' rounding level.
    double rounding() const { return m_rounding; }

    // The series of one group of eigentriples, with tick marks 1..N.
    void reconstruct(const std::vector<int>& indices, t_ts& out) const;
    // The same values without tick marks.
    series reconstruct_values(const std::vector<int>& indices) const;

private:
    struct factor_store;
    // Throws ssa_exception when the decomposition holds no vectors (svd_options::vectors false).
    void check_vectors() const;
    void decompose_full(const series& values, const svd_options& options, std::vector<double>& eig);
    void decompose_truncated(const series& values, const svd_options& options, std::vector<double>& eig);
    // The rounding level, the count of eigenvalues above in_use, and 0 for those beyond it.
    void settle_count(std::vector<double>& eig, double rounding, double in_use);

    int m_K = 0;
    int m_L = 0;
    std::vector<double> m_spectrum;
    // Shared between copies: nothing changes them once built.
    std::shared_ptr<const matrix> m_eigenvectors;
    std::shared_ptr<factor_store> m_factors;
    std::vector<double> m_eigenvalues;    // the solver's, 0 from count on
    std::vector<double> m_contributions;  // shares 0..1 of the sum of every eigenvalue
    int m_count = 0;
    double m_rounding = 0;
};

}  // namespace SVD
