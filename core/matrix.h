// Dense row-major matrix of doubles carrying the whole-matrix operations of
// the SSA pipeline: embedding, decomposition, grouping and diagonal averaging.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "pair.h"
#include "series.h"

// Leaves new elements uninitialised instead of zero-filling them.
template <typename T>
struct uninitialised_allocator : std::allocator<T> {
    template <typename U>
    struct rebind {
        using other = uninitialised_allocator<U>;
    };
    uninitialised_allocator() = default;
    template <typename U>
    uninitialised_allocator(const uninitialised_allocator<U>&) {}
    template <typename U>
    void construct(U* p) noexcept {
        ::new (static_cast<void*>(p)) U;
    }
    template <typename U, typename... Args>
    void construct(U* p, Args&&... args) {
        ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
};

// Which eigen solver matrix::svd runs.
enum class svd_solver {
    jacobi,  // cyclic Jacobi rotations, the reference results
    fast,       // LAPACK symmetric eigen solver
    automatic,  // Jacobi for short windows, LAPACK above; the truncated one for long ones (t_svd)
    truncated   // the leading eigentriples only, by a Lanczos solver over FFT products (t_svd)
};

class matrix {
public:
    matrix(int r = 2, int c = 2);
    matrix(const matrix& m) = default;
    matrix& operator=(const matrix& m);
    ~matrix() = default;

    // Discards the contents.
    void resize(int r, int c);
    int rows() const { return m_rows; }
    int cols() const { return m_cols; }

    // Checked: throws SSA_math_exception::out_of_range("in matrix::operator[]").
    double& operator[](const Pair::t_pair<int>& ij);
    const double& operator[](const Pair::t_pair<int>& ij) const;
    // Unchecked, for inner loops.
    double operator()(int i, int j) const { return m_data[index(i, j)]; }
    void set(double v, int i, int j) { m_data[index(i, j)] = v; }
    double* row(int i) { return m_data.data() + index(i, 0); }
    const double* row(int i) const { return m_data.data() + index(i, 0); }

    // Same-shape copy; another shape throws internal_error and leaves this matrix alone.
    void assign_values(const matrix& m);
    void copy_from(const double* const* p);
    void copy_to(double* const* p) const;

    void print() const;
    // Appends the rows; throws file_exception when the file cannot be opened.
    void write(const std::string& file_name) const;

    // Trajectory matrix: element (i, j) = s[i + j]; s must hold rows + cols - 1 values (else internal_error 11).
    void embed(const series& s);
    // Column j times sqrt(s[j]).
    void scale_columns(const series& s);

    // Decomposition of this trajectory matrix X (L x K): eigenvalues of X X^T in
    // decreasing order into spectrum (zeros from count on), the lag-covariance
    // into covariance, eigenvectors into U (L x L), factor vectors into V (K x L).
    // rounding = eigen_rounding_level of the result; count = number of leading
    // eigenvalues above eigen_in_use_factor times it. Shape checks throw internal_error 12..16.
    void svd(series& spectrum, matrix& covariance, matrix& U, matrix& V, int& count, double& rounding,
             svd_solver solver = svd_solver::automatic) const;

    // This (L x K) becomes the sum over the listed eigentriples k of sqrt(lambda[k]) U_k V_k^T.
    void reconstruct_group(const std::vector<double>& eigenvalues, const matrix& U, const matrix& V, int n,
                           const int* indices);
    void reconstruct_group(const series& eigenvalues, const matrix& U, const matrix& V, int n, const int* indices);
    // Means along the antidiagonals into out, which must hold rows + cols - 1 values (else internal_error 17).
    void diagonal_average(series& out) const;

    // --- Trend tests: each column is one tested vector (methods/trend_tests.cpp).
    // Each test writes its header to log (when given) before checking its
    // parameters, tests columns 0..cpntsamount-1 and stores the trend columns,
    // ascending, into identified (room for cpntsamount) and their number into
    // count. Bad parameters throw ssa_exception. Returns 0.
    int trend_Kendall(int& count, int cpntsamount, int* identified, double alpha, std::ostream* log) const;
    int trend_Roots(int& count, int cpntsamount, int* identified, int maxroots, double epsilon,
                    std::ostream* log) const;
    // Every column is trend when omega > 0.499999999.
    int trend_LowFreq(int& count, int cpntsamount, int* identified, double omega, double C,
                      std::ostream* log) const;
    // Two-sided p-level of Kendall's test for a monotonic trend in column j.
    double kendall_plevel(int j) const;
    // Sign changes of column j, ignoring steps of at most epsilon.
    int roots_amount(double epsilon, int j) const;
    // Share of the periodogram mass of column j below the frequency omega.
    double lowfreq_relation(double omega, int j) const;
    // lowfreq_relation of each of the columns 0..count-1, sharing the trigonometric values.
    std::vector<double> lowfreq_relation_columns(double omega, int count) const;
    // The same where long columns may take the FFT's value, within its bound of
    // the direct one (about 1e-7 at n = 10^5) and on the same side of C.
    std::vector<double> lowfreq_relation_columns(double omega, int count, double C) const;

    // --- Harmonic pairing and period estimation (methods/pairing.cpp, methods/period.cpp).

    struct periodogram_peak {
        double fmax;  // frequency of the first highest value
        int Pmax;     // that value truncated toward zero
    };
    // Highest value of column j's periodogram over f = 0, 1/n, ... up to 0.5.
    periodogram_peak periodogram_max(int j) const;
    // The same for each of the columns 0..count-1, sharing the trigonometric values.
    std::vector<periodogram_peak> periodogram_max_columns(int count) const;
    // Pairs (j-1, j) of neighbouring columns 0..cpntsamount-1 whose peaks lie within
    // parameter/n of each other, and singles (j, j) peaking at 0.5. Writes its account
    // to log when given; throws ssa_exception for cpntsamount outside 1..cols.
    void paring_byFourier(int cpntsamount, std::vector<Pair::t_pair<int>>& pairs, double parameter,
                          std::ostream* log) const;
    // Largest share of the joint periodogram of columns i and j held by two adjacent bins.
    double pair_rhomax(int i, int j, bool normalize) const;
    // pair_rhomax of every listed pair, with each column's Fourier sums computed once.
    std::vector<double> pairs_rhomax(const std::vector<Pair::t_pair<int>>& pairs, bool normalize) const;
    // Period of the rotation described by columns 0 and 1 (an n x 2 matrix): the mean step angle.
    double getperiod_angles(bool normalize) const;
    // Period from the leading complex root of the recurrence the two columns define;
    // 0.0 when there is none. Writes "char.pol.: v=..." to diagnostic_stream().
    // Columns longer than the root finder takes get getperiod_shift, with a line saying so.
    double getperiod_charroots(bool normalize) const;
    // Period 2 pi / |arg mu| of the complex eigenvalues mu of the 2 x 2 least-squares
    // M with A_down = A_up M (rows 1..n-1 against 0..n-2); 0.0 when they are real.
    double getperiod_shift(bool normalize) const;

    int precision = 3;
    int width = 10;

private:
    size_t index(int i, int j) const { return static_cast<size_t>(i) * static_cast<size_t>(m_cols) + static_cast<size_t>(j); }
    bool in_range(int i, int j) const { return i >= 0 && i < m_rows && j >= 0 && j < m_cols; }
    void format_to(std::ostream& os) const;

    int m_rows = 0;
    int m_cols = 0;
    // Fresh storage is left uninitialised: every user writes it first, and
    // zero-filling hundreds of megabytes would stall before any progress.
    std::vector<double, uninitialised_allocator<double>> m_data;
};

// The cyclic Jacobi eigen solver on a packed symmetric matrix of order n
// (element (i, j), i <= j, at i + j(j+1)/2). On return the eigenvalues stand in
// decreasing order on the diagonal of a and column c of r (column-major, n x n)
// is eigenvector c. leftover, when given, receives the largest norm of the
// off-diagonal part of a row that the rotations left: the eigenvalues' error bar.
void jacobi_eigen(std::vector<double>& a, std::vector<double>& r, int n, double* leftover = nullptr);

// How far an eigenvalue of X X^T (X of L x K, largest eigenvalue lambda_1) can
// be from the truth through rounding: eps lambda_1 (16 + sqrt(L + K - 1)), the
// covariance's sums and the solver's own error growing with the series, plus
// what the solver reports it left (the Jacobi rotations' leftover, 0 for LAPACK).
// Relative to lambda_1, so that the units of the data do not matter.
double eigen_rounding_level(double lambda_1, int L, int K, double leftover);
// Eigenvalues at or below the rounding level are 0; those above this many times it are in use.
constexpr double eigen_in_use_factor = 10;

// Lag-covariance X X^T of a matrix x (L x K)
// into the full L x L matrix c.
void lag_covariance(const matrix& x, matrix& c);
// The same for the trajectory matrix of s with window length L, without forming it.
void hankel_covariance(const series& s, int L, matrix& c);
// The factor vectors of the trajectory matrix X of s (window U.rows()) into
// V (K x U.cols()): X^T U_c / sqrt(eig[c]) for c < count, 0 beyond; by direct
// sums over d ascending, the reference's order, when exact, else by FFT correlations.
void trajectory_factor_vectors(const series& s, const matrix& U, const std::vector<double>& eig, int count, bool exact,
                               matrix& V);
// jacobi or fast as asked; automatic (or truncated, which has no full solver)
// is Jacobi up to L = 200 and LAPACK above.
svd_solver full_solver(svd_solver solver, int L);
// Every eigenvalue (decreasing, into eig) and eigenvector (column-major, into r)
// of the symmetric c by full_solver(solver); leftover as for jacobi_eigen, 0 for LAPACK.
// Without vectors LAPACK's eigenvalues-only driver runs and r is left empty
// (Jacobi finds them anyway: they come with its eigenvalues).
void symmetric_eigen(const matrix& c, svd_solver solver, std::vector<double>& eig, std::vector<double>& r,
                     double& leftover, bool vectors = true);
