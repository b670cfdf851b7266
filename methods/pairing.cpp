// The Fourier pairing of harmonic components and the rho of two columns.
#include <climits>
#include <cmath>
#include <ostream>

#include "core/matrix.h"
#include "core/ssa_exception.h"
#include "fourier_sums.h"

namespace {

// Out of range or NaN, the conversion yields INT_MIN, the "integer indefinite"
// value of the x86 conversion instruction, rather than undefined behaviour.
int truncate_to_int(double v) {
    if (!(v > -2147483649.0 && v < 2147483648.0)) return INT_MIN;
    return static_cast<int>(v);
}

}  // namespace

std::vector<matrix::periodogram_peak> matrix::periodogram_max_columns(int count) const {
    if (count < 0 || count > m_cols) throw SSA_math_exception::out_of_range("in matrix::operator[]");
    const int n = m_rows;
    const double h = 1.0 / n;
    // The frequencies come from repeated addition, not k * h: the last one may
    // miss 0.5 by a rounding, and the period-2 test sees that.
    std::vector<double> freqs;
    for (double f = 0; f < 0.50001; f += h) freqs.push_back(f);

    std::vector<periodogram_peak> peaks(static_cast<size_t>(count), periodogram_peak{-1.0, 0});
    std::vector<double> best(static_cast<size_t>(count), -1.0);
    fourier::column_sums(
        m_data.data(), n, static_cast<size_t>(m_cols), count, static_cast<int>(freqs.size()),
        [&](int t, int k) { return 2.0 * 3.141592654 * t * freqs[static_cast<size_t>(k)]; },
        [&](int k, int c, double C, double S) {
            const double f = freqs[static_cast<size_t>(k)];
            double I = C * C + S * S;
            if (f < h || 0.5 - f < h) I = I / 2;
            if (I > best[static_cast<size_t>(c)]) {
                best[static_cast<size_t>(c)] = I;
                peaks[static_cast<size_t>(c)].fmax = f;
            }
        },
        "Fourier pairing");
    for (size_t c = 0; c < peaks.size(); ++c) peaks[c].Pmax = truncate_to_int(best[c]);
    return peaks;
}

matrix::periodogram_peak matrix::periodogram_max(int j) const {
    if (j < 0 || j >= m_cols) throw SSA_math_exception::out_of_range("in matrix::operator[]");
    // One column alone: copy it so that column_sums sees it as column 0.
    matrix col(m_rows, 1);
    for (int t = 0; t < m_rows; ++t) col.set((*this)(t, j), t, 0);
    return col.periodogram_max_columns(1)[0];
}

void matrix::paring_byFourier(int cpntsamount, std::vector<Pair::t_pair<int>>& pairs, double parameter,
                              std::ostream* log) const {
    const int n = m_rows;
    if (log) {
        *log << "*** Fourier method for identification \"harmonical\" pairs of components ***\n";
        *log << "    parameter=" << parameter << ", M=" << n << "\n\n";
    }
    pairs.clear();
    if (cpntsamount < 1 || cpntsamount > m_cols)
        throw SSA_math_exception::ssa_exception("invalid cpntsamount parameter given to paring_byFourier(...)");

    const std::vector<periodogram_peak> peaks = periodogram_max_columns(cpntsamount);
    double fpkmax = 0.0;
    for (int j = 0; j < cpntsamount; ++j) {
        const double fmax = peaks[static_cast<size_t>(j)].fmax;
        const int Pmax = peaks[static_cast<size_t>(j)].Pmax;
        // "Pi(f)" is the periodogram at f, scaled by 1/M.
        if (n * std::fabs(fmax - 0.5) <= parameter) {
            pairs.emplace_back(j, j);
            if (log) {
                *log << "#" << j + 1 << " Pi(" << fmax << ")=" << Pmax / n << ", M*|fmax-0.5|=" << n * std::fabs(fmax - 0.5)
                     << std::endl;
                *log << "* Component #" << j + 1 << " identificated as component of harmonic with period = 2\n\n";
            }
        }
        if (log)
            *log << "#" << j + 1 << " Pi(" << fmax << ")=" << Pmax / n << ", M*|fmax-fpkmax|="
                 << n * std::fabs(fmax - fpkmax) << std::endl;
        // Neighbouring peaks exactly one bin apart give n * (1/n), which may round above 1.
        if (j > 0 && n * std::fabs(fmax - fpkmax) <= parameter + 1e-10) {
            pairs.emplace_back(j - 1, j);
            if (log) *log << "* Pair of components (" << j << "," << j + 1 << ") identificated as \"harmonic\" pair\n\n";
        }
        fpkmax = fmax;
    }
}

std::vector<double> matrix::pairs_rhomax(const std::vector<Pair::t_pair<int>>& pairs, bool normalize) const {
    const int n = m_rows;
    // Each distinct column once, in the order met.
    std::vector<int> slot(static_cast<size_t>(m_cols), -1);
    std::vector<int> columns;
    for (const auto& p : pairs)
        for (int c : {p.first, p.second}) {
            if (c < 0 || c >= m_cols) throw SSA_math_exception::out_of_range("in matrix::operator[]");
            if (slot[static_cast<size_t>(c)] < 0) {
                slot[static_cast<size_t>(c)] = static_cast<int>(columns.size());
                columns.push_back(c);
            }
        }
    const int m = static_cast<int>(columns.size());
    const size_t um = static_cast<size_t>(m);
    std::vector<double> x(static_cast<size_t>(n) * um);
    for (size_t s = 0; s < um; ++s) {
        double norm = 1.0;
        if (normalize) {
            double sum = 0;
            for (int t = 0; t < n; ++t) sum += (*this)(t, columns[s]) * (*this)(t, columns[s]);
            norm = std::sqrt(sum);
        }
        for (int t = 0; t < n; ++t)
            x[static_cast<size_t>(t) * um + s] = normalize ? (*this)(t, columns[s]) / norm : (*this)(t, columns[s]);
    }

    const int K = n / 2 + 1;
    std::vector<double> freq(static_cast<size_t>(K));
    for (int k = 0; k < K; ++k) freq[static_cast<size_t>(k)] = static_cast<double>(k) / n;
    // C and S of every column at every frequency, column after column.
    std::vector<double> C(um * static_cast<size_t>(K)), S(um * static_cast<size_t>(K));
    fourier::column_sums(
        x.data(), n, um, m, K,
        [&](int t, int k) { return 6.283185307179586 * t * freq[static_cast<size_t>(k)]; },
        [&](int k, int c, double cs, double sn) {
            C[static_cast<size_t>(c) * static_cast<size_t>(K) + static_cast<size_t>(k)] = cs;
            S[static_cast<size_t>(c) * static_cast<size_t>(K) + static_cast<size_t>(k)] = sn;
        },
        "rhomax");

    std::vector<double> rho;
    rho.reserve(pairs.size());
    std::vector<double> P(static_cast<size_t>(K));
    for (const auto& p : pairs) {
        const double* Ca = &C[static_cast<size_t>(slot[static_cast<size_t>(p.first)]) * static_cast<size_t>(K)];
        const double* Sa = &S[static_cast<size_t>(slot[static_cast<size_t>(p.first)]) * static_cast<size_t>(K)];
        const double* Cb = &C[static_cast<size_t>(slot[static_cast<size_t>(p.second)]) * static_cast<size_t>(K)];
        const double* Sb = &S[static_cast<size_t>(slot[static_cast<size_t>(p.second)]) * static_cast<size_t>(K)];
        for (int k = 0; k < K; ++k) {
            double v = (Ca[k] * Ca[k] + Sa[k] * Sa[k] + Cb[k] * Cb[k] + Sb[k] * Sb[k]) / n;
            const double f = freq[static_cast<size_t>(k)];
            if (0.5 - f < 1.0 / n || f < 1.0 / n) v = v / 2;
            P[static_cast<size_t>(k)] = v;
        }
        double best = -1.0;
        for (int k = 0; k + 1 < K; ++k)
            if (P[static_cast<size_t>(k)] + P[static_cast<size_t>(k) + 1] > best)
                best = P[static_cast<size_t>(k)] + P[static_cast<size_t>(k) + 1];
        rho.push_back(best);
    }
    return rho;
}

double matrix::pair_rhomax(int i, int j, bool normalize) const {
    return pairs_rhomax({Pair::t_pair<int>(i, j)}, normalize)[0];
}
