// The Fourier pairing of harmonic components and the rho of two columns.
#include <climits>
#include <cmath>
#include <ostream>

#include "core/matrix.h"
#include "core/ssa_exception.h"
#include "fourier_screen.h"
#include "core/two_pi.h"

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
    const int nf = static_cast<int>(freqs.size());
    const char* stage = "Fourier pairing";

    auto angle = [&](int t, int k) { return 2.0 * 3.141592654 * t * freqs[static_cast<size_t>(k)]; };
    auto end_bin = [&](int k) {
        const double f = freqs[static_cast<size_t>(k)];
        return f < h || 0.5 - f < h;
    };
    std::vector<periodogram_peak> peaks(static_cast<size_t>(count), periodogram_peak{-1.0, 0});
    std::vector<double> best(static_cast<size_t>(count), -1.0);
    // Bins must come in increasing order for each column: the first of equal maxima wins.
    auto offer = [&](int k, int c, double C, double S) {
        double I = C * C + S * S;
        if (end_bin(k)) I = I / 2;
        if (I > best[static_cast<size_t>(c)]) {
            best[static_cast<size_t>(c)] = I;
            peaks[static_cast<size_t>(c)].fmax = freqs[static_cast<size_t>(k)];
        }
    };

    if (static_cast<double>(n) * nf < fourier::screen_threshold) {
        fourier::column_sums(m_data.data(), n, static_cast<size_t>(m_cols), count, nf, angle, offer, stage);
    } else {
        std::vector<int> all(static_cast<size_t>(count));
        for (int c = 0; c < count; ++c) all[static_cast<size_t>(c)] = c;
        const std::vector<double> data = fourier::gather_columns(m_data.data(), n, static_cast<size_t>(m_cols), all);
        const fourier::power_error_bound bound(n, 2.0 * 3.141592654, freqs);
        std::vector<std::vector<int>> candidates(static_cast<size_t>(count));
        std::vector<char> direct(static_cast<size_t>(count), 0);
        fourier::power_spectra(
            data.data(), n, count, nf,
            [&](int c, const double* power) {
                const auto terms = bound.terms(&data[static_cast<size_t>(c) * static_cast<size_t>(n)]);
                std::vector<double> value(static_cast<size_t>(nf)), error(static_cast<size_t>(nf));
                double floor = -1.0;
                for (int k = 0; k < nf; ++k) {
                    double v = power[k], e = bound(terms, k, power[k]);
                    if (end_bin(k)) v /= 2, e /= 2;
                    if (!std::isfinite(v + e)) {
                        direct[static_cast<size_t>(c)] = 1;
                        return;
                    }
                    value[static_cast<size_t>(k)] = v, error[static_cast<size_t>(k)] = e;
                    floor = std::max(floor, v - e);
                }
                std::vector<int>& chosen = candidates[static_cast<size_t>(c)];
                for (int k = 0; k < nf; ++k)
                    if (value[static_cast<size_t>(k)] + error[static_cast<size_t>(k)] >= floor) {
                        if (static_cast<int>(chosen.size()) == fourier::max_candidates) {
                            direct[static_cast<size_t>(c)] = 1;
                            return;
                        }
                        chosen.push_back(k);
                    }
            },
            {stage, 0, 1000, 2000});

        std::vector<fourier::bin_request> requests;
        std::vector<int> fallback;
        for (int c = 0; c < count; ++c) {
            if (direct[static_cast<size_t>(c)]) {
                fallback.push_back(c);
                continue;
            }
            for (int k : candidates[static_cast<size_t>(c)]) requests.push_back({k, c});
        }
        fourier::bin_sums(data.data(), n, requests, angle, {stage, 1000, 1000, 2000});
        for (const fourier::bin_request& r : requests) offer(r.k, r.j, r.C, r.S);
        if (!fallback.empty()) {
            const std::vector<double> rows = fourier::rows_of(data.data(), n, fallback);
            fourier::column_sums(
                rows.data(), n, fallback.size(), static_cast<int>(fallback.size()), nf, angle,
                [&](int k, int i, double C, double S) { offer(k, fallback[static_cast<size_t>(i)], C, S); }, stage);
        }
    }
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
        throw SSA_math_exception::internal_error("invalid cpntsamount parameter given to paring_byFourier(...)");

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
    const size_t un = static_cast<size_t>(n);
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
    // Slot s's column, divided by its norm when asked, at data[s * n ...].
    std::vector<double> data = fourier::gather_columns(m_data.data(), n, static_cast<size_t>(m_cols), columns);
    if (normalize)
        for (int s = 0; s < m; ++s) {
            double* x = &data[static_cast<size_t>(s) * un];
            double sum = 0;
            for (int t = 0; t < n; ++t) sum += x[t] * x[t];
            const double norm = std::sqrt(sum);
            for (int t = 0; t < n; ++t) x[t] = x[t] / norm;
        }

    const int K = n / 2 + 1;
    std::vector<double> freq(static_cast<size_t>(K));
    for (int k = 0; k < K; ++k) freq[static_cast<size_t>(k)] = static_cast<double>(k) / n;
    auto angle = [&](int t, int k) { return two_pi * t * freq[static_cast<size_t>(k)]; };
    auto end_bin = [&](int k) {
        const double f = freq[static_cast<size_t>(k)];
        return 0.5 - f < 1.0 / n || f < 1.0 / n;
    };
    auto bin_value = [&](int k, double Ca, double Sa, double Cb, double Sb) {
        double v = (Ca * Ca + Sa * Sa + Cb * Cb + Sb * Sb) / n;
        if (end_bin(k)) v = v / 2;
        return v;
    };
    const char* stage = "rhomax";
    const size_t uK = static_cast<size_t>(K);

    // Slots summed directly at every bin, and the bins of the other pairs to sum.
    std::vector<char> full(static_cast<size_t>(m), 0);
    std::vector<std::vector<int>> candidates(pairs.size());
    std::vector<char> pair_full(pairs.size(), 0);
    std::vector<fourier::bin_request> requests;
    if (static_cast<double>(n) * K < fourier::screen_threshold) {
        std::fill(full.begin(), full.end(), 1);
        std::fill(pair_full.begin(), pair_full.end(), 1);
    } else {
        std::vector<double> power(static_cast<size_t>(m) * uK);
        std::vector<fourier::power_error_bound::column_terms> terms(static_cast<size_t>(m));
        const fourier::power_error_bound bound(n, two_pi, freq);
        fourier::power_spectra(
            data.data(), n, m, K,
            [&](int s, const double* p) {
                std::copy(p, p + K, &power[static_cast<size_t>(s) * uK]);
                terms[static_cast<size_t>(s)] = bound.terms(&data[static_cast<size_t>(s) * un]);
            },
            {stage, 0, 1000, 2000});
        const double u = 0x1p-53;
        std::vector<double> value(uK), error(uK);
        for (size_t p = 0; p < pairs.size(); ++p) {
            const int a = slot[static_cast<size_t>(pairs[p].first)], b = slot[static_cast<size_t>(pairs[p].second)];
            const double* Pa = &power[static_cast<size_t>(a) * uK];
            const double* Pb = &power[static_cast<size_t>(b) * uK];
            const auto& Ta = terms[static_cast<size_t>(a)];
            const auto& Tb = terms[static_cast<size_t>(b)];
            bool usable = true;
            for (int k = 0; k < K; ++k) {
                double v = (Pa[k] + Pb[k]) / n;
                double e = (bound(Ta, k, Pa[k]) + bound(Tb, k, Pb[k])) / n;
                if (end_bin(k)) v /= 2, e /= 2;
                usable = usable && std::isfinite(v + e);
                value[static_cast<size_t>(k)] = v, error[static_cast<size_t>(k)] = e;
            }
            // Adjacent bins k, k + 1: their sum is rounded once more.
            auto spread = [&](int k) {
                const double e = error[static_cast<size_t>(k)] + error[static_cast<size_t>(k) + 1];
                return e + 4 * u * (value[static_cast<size_t>(k)] + value[static_cast<size_t>(k) + 1] + e);
            };
            double floor = -1.0;
            for (int k = 0; usable && k + 1 < K; ++k)
                floor = std::max(floor, value[static_cast<size_t>(k)] + value[static_cast<size_t>(k) + 1] - spread(k));
            std::vector<int>& chosen = candidates[p];
            for (int k = 0; usable && k + 1 < K; ++k)
                if (value[static_cast<size_t>(k)] + value[static_cast<size_t>(k) + 1] + spread(k) >= floor) {
                    if (static_cast<int>(chosen.size()) == fourier::max_candidates) usable = false;
                    chosen.push_back(k);
                }
            if (!usable) {
                pair_full[p] = full[static_cast<size_t>(a)] = full[static_cast<size_t>(b)] = 1;
                chosen.clear();
                continue;
            }
            for (int k : chosen)
                for (int bin : {k, k + 1})
                    for (int c : {a, b}) requests.push_back({bin, c});
        }
        fourier::bin_sums(data.data(), n, requests, angle, {stage, 1000, 1000, 2000});
    }

    // C and S of the slots summed at every bin, slot after slot.
    std::vector<int> full_slots;
    for (int s = 0; s < m; ++s)
        if (full[static_cast<size_t>(s)]) full_slots.push_back(s);
    std::vector<int> full_index(static_cast<size_t>(m), -1);
    for (size_t i = 0; i < full_slots.size(); ++i) full_index[static_cast<size_t>(full_slots[i])] = static_cast<int>(i);
    std::vector<double> C(full_slots.size() * uK), S(full_slots.size() * uK);
    if (!full_slots.empty()) {
        const std::vector<double> rows = fourier::rows_of(data.data(), n, full_slots);
        fourier::column_sums(
            rows.data(), n, full_slots.size(), static_cast<int>(full_slots.size()), K, angle,
            [&](int k, int i, double cs, double sn) {
                C[static_cast<size_t>(i) * uK + static_cast<size_t>(k)] = cs;
                S[static_cast<size_t>(i) * uK + static_cast<size_t>(k)] = sn;
            },
            stage);
    }

    std::vector<double> rho;
    rho.reserve(pairs.size());
    std::vector<double> P(uK);
    for (size_t p = 0; p < pairs.size(); ++p) {
        const int a = slot[static_cast<size_t>(pairs[p].first)], b = slot[static_cast<size_t>(pairs[p].second)];
        double best = -1.0;
        if (pair_full[p]) {
            const double* Ca = &C[static_cast<size_t>(full_index[static_cast<size_t>(a)]) * uK];
            const double* Sa = &S[static_cast<size_t>(full_index[static_cast<size_t>(a)]) * uK];
            const double* Cb = &C[static_cast<size_t>(full_index[static_cast<size_t>(b)]) * uK];
            const double* Sb = &S[static_cast<size_t>(full_index[static_cast<size_t>(b)]) * uK];
            for (int k = 0; k < K; ++k) P[static_cast<size_t>(k)] = bin_value(k, Ca[k], Sa[k], Cb[k], Sb[k]);
            for (int k = 0; k + 1 < K; ++k)
                if (P[static_cast<size_t>(k)] + P[static_cast<size_t>(k) + 1] > best)
                    best = P[static_cast<size_t>(k)] + P[static_cast<size_t>(k) + 1];
        } else {
            auto exact = [&](int k) {
                const fourier::bin_request& ra = fourier::find_request(requests, k, a);
                const fourier::bin_request& rb = fourier::find_request(requests, k, b);
                return bin_value(k, ra.C, ra.S, rb.C, rb.S);
            };
            for (int k : candidates[p]) {
                const double sum = exact(k) + exact(k + 1);
                if (sum > best) best = sum;
            }
        }
        rho.push_back(best);
    }
    return rho;
}

double matrix::pair_rhomax(int i, int j, bool normalize) const {
    return pairs_rhomax({Pair::t_pair<int>(i, j)}, normalize)[0];
}
