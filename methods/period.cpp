// The period estimators: Phi, Charroots and the periodogram of a series.
#include <cmath>
#include <complex>
#include <ostream>

#include "core/diagnostics.h"
#include "core/matrix.h"
#include "polyroots.h"

// 2 pi to 14 decimals, not to the last bit: every period estimate has been
// computed and pinned with it, and the last bit would move their last digits.
constexpr double period_two_pi = 6.28318530717958;

namespace {

// Columns 0 and 1 of an n x 2 matrix, each divided by its norm when asked.
void pair_columns(const matrix& m, bool normalize, std::vector<double>& a, std::vector<double>& b) {
    const int n = m.rows();
    a.resize(static_cast<size_t>(n));
    b.resize(static_cast<size_t>(n));
    for (int t = 0; t < n; ++t) {
        a[static_cast<size_t>(t)] = m[Pair::t_pair<int>(t, 0)];
        b[static_cast<size_t>(t)] = m[Pair::t_pair<int>(t, 1)];
    }
    if (!normalize) return;
    for (std::vector<double>* v : {&a, &b}) {
        double sum = 0;
        for (double x : *v) sum += x * x;
        const double norm = std::sqrt(sum);
        for (double& x : *v) x = x / norm;
    }
}

}  // namespace

double matrix::getperiod_angles(bool normalize) const {
    std::vector<double> a, b;
    pair_columns(*this, normalize, a, b);
    const int n = m_rows;
    double S = 0;
    for (size_t t = 1; t < static_cast<size_t>(n); ++t)
        S += std::acos((a[t - 1] * a[t] + b[t - 1] * b[t]) /
                       std::sqrt((a[t] * a[t] + b[t] * b[t]) * (a[t - 1] * a[t - 1] + b[t - 1] * b[t - 1])));
    return (n - 1) * period_two_pi / S;
}

double matrix::getperiod_shift(bool normalize) const {
    std::vector<double> a, b;
    pair_columns(*this, normalize, a, b);
    // Normal equations of A_down = A_up M over the rows t = 1 .. n-1.
    double aa = 0, ab = 0, bb = 0, a_a = 0, b_a = 0, a_b = 0, b_b = 0;
    for (size_t t = 1; t < a.size(); ++t) {
        const double ua = a[t - 1], ub = b[t - 1];
        aa += ua * ua;
        ab += ua * ub;
        bb += ub * ub;
        a_a += ua * a[t];
        b_a += ub * a[t];
        a_b += ua * b[t];
        b_b += ub * b[t];
    }
    const double gram = aa * bb - ab * ab;
    // Collinear or empty columns describe no rotation.
    if (!(gram > 0)) return 0.0;
    const double m00 = (bb * a_a - ab * b_a) / gram, m01 = (bb * a_b - ab * b_b) / gram;
    const double m10 = (aa * b_a - ab * a_a) / gram, m11 = (aa * b_b - ab * a_b) / gram;
    const double half_trace = 0.5 * (m00 + m11);
    const double det = m00 * m11 - m01 * m10;
    const double disc = det - half_trace * half_trace;
    if (!(disc > 0)) return 0.0;  // real eigenvalues
    return period_two_pi / std::atan2(std::sqrt(disc), half_trace);
}

double matrix::getperiod_charroots(bool normalize) const {
    if (m_rows > max_poly_coefficients) {
        diagnostic_stream() << "char.pol.: " << m_rows << " points, more than the root finder's "
                            << max_poly_coefficients << ": period from the pair's shift invariance" << std::endl;
        return getperiod_shift(normalize);
    }
    std::vector<double> a, b;
    pair_columns(*this, normalize, a, b);
    const size_t n = static_cast<size_t>(m_rows);
    if (n == 0) return 0.0;
    const double v = a[n - 1] * a[n - 1] + b[n - 1] * b[n - 1];
    diagnostic_stream() << "char.pol.: v=" << v << std::endl;

    // z^(n-1) - r_(n-2) z^(n-2) - ... - r_0, highest power first.
    std::vector<double> coeffs(n);
    coeffs[0] = 1.0;
    for (size_t m = 0; m + 1 < n; ++m) coeffs[n - 1 - m] = -((a[n - 1] * a[m] + b[n - 1] * b[m]) / (1 - v));
    std::vector<std::complex<double>> roots;
    polynomial_roots(coeffs, 1e-15, roots);

    bool found = false;
    std::complex<double> best;
    double best_modulus = 0;
    for (const auto& z : roots) {
        if (z.imag() <= 1e-5) continue;
        const double modulus = std::abs(z);
        if (!found || modulus > best_modulus) {
            found = true;
            best = z;
            best_modulus = modulus;
        }
    }
    if (!found || best_modulus < 1e-5) return 0.0;
    return period_two_pi / std::acos(best.real() / best_modulus);
}

double series::getperiod_periodogr() const {
    const int N = size();
    double fmax = -1.0, best = -1.0;
    for (int k = 1; k <= N / 2; ++k) {
        const double f = static_cast<double>(k) / N;
        double C = 0, S = 0;
        for (int t = 0; t < N; ++t) {
            const double arg = 2.0 * 3.141592654 * t * f;
            C += m_data[static_cast<size_t>(t)] * std::cos(arg);
            S += m_data[static_cast<size_t>(t)] * std::sin(arg);
        }
        const double I = (C * C + S * S) / N;
        if (I > best) {
            best = I;
            fmax = f;
        }
    }
    std::ostream& os = diagnostic_stream();
    os << "series::getperiod_periodogr() : fmax for series = " << fmax << std::endl;
    os.precision(6);
    os << "series::getperiod_periodogr() : period=" << 1 / fmax << std::endl;
    return 1 / fmax;
}
