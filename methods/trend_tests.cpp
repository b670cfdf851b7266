// The trend tests: Kendall, Roots and LowFreq, each over the leading columns
// of a matrix.
#include "trend_tests.h"

#include <algorithm>
#include <cmath>
#include <ostream>
#include <vector>

#include "core/hooks.h"
#include "core/matrix.h"
#include "core/ssa_exception.h"
#include "fourier_screen.h"
#include "core/two_pi.h"

namespace {

// Checked copy of column j, so a bad j throws out_of_range.
std::vector<double> column(const matrix& m, int j) {
    std::vector<double> x(static_cast<size_t>(m.rows()));
    for (int t = 0; t < m.rows(); ++t) x[static_cast<size_t>(t)] = m[Pair::t_pair<int>(t, j)];
    return x;
}

void check_amount(const matrix& m, int cpntsamount, const char* test) {
    if (cpntsamount < 1 || cpntsamount > m.cols())
        throw SSA_math_exception::internal_error(std::string("invalid cpntsamount parameter given to ") + test +
                                                 "(...)");
}

void write_identified(std::ostream* log, int j) {
    if (log) *log << "* Component #" << j + 1 << " identificated as trend component\n\n";
}

// The frequencies of the scan that defines the relation: f advanced by
// repeated addition of 1/n, those below omega first, then those below 0.5
// (each counted twice, for its mirror), then 0.5 itself for even n, once.
struct lowfreq_scan {
    std::vector<double> freq;
    std::size_t below_omega = 0, doubled = 0;
};

lowfreq_scan scan_frequencies(int n, double omega) {
    lowfreq_scan s;
    const double h = 1.0 / n;
    double f = h;
    for (; f < omega; f += h) s.freq.push_back(f);
    s.below_omega = s.freq.size();
    for (; f < 0.5; f += h) s.freq.push_back(f);
    s.doubled = s.freq.size();
    if (f < 0.5000000001) s.freq.push_back(f);
    return s;
}

// Relations of amount columns of x (n rows, element (t, c) at x[t * stride + c]);
// every column's total runs over the scan's frequencies in scan order.
std::vector<double> direct_relations(const double* x, int n, std::size_t stride, int amount, const lowfreq_scan& scan) {
    std::vector<double> low(static_cast<size_t>(amount)), total(static_cast<size_t>(amount));
    if (n == 0) return low;
    for (int j = 0; j < amount; ++j) {
        double sum = 0;
        for (int t = 0; t < n; ++t) sum += x[static_cast<size_t>(t) * stride + static_cast<size_t>(j)];
        total[static_cast<size_t>(j)] = low[static_cast<size_t>(j)] = sum * sum;
    }
    const std::vector<double>& freq = scan.freq;
    fourier::column_sums(
        x, n, stride, amount, static_cast<int>(freq.size()),
        [&](int t, int k) { return two_pi * t * freq[static_cast<size_t>(k)]; },
        [&](int k, int c, double C, double S) {
            const double I = C * C + S * S;
            double& tot = total[static_cast<size_t>(c)];
            tot = static_cast<size_t>(k) < scan.doubled ? tot + 2 * I : tot + I;
            if (static_cast<size_t>(k) < scan.below_omega) low[static_cast<size_t>(c)] = tot;
        },
        "LowFreq test");
    for (int j = 0; j < amount; ++j) low[static_cast<size_t>(j)] /= total[static_cast<size_t>(j)];
    return low;
}

// Relations of the columns first .. first+amount-1 by the direct sums.
std::vector<double> lowfreq_relations(const matrix& m, double omega, int first, int amount) {
    const int n = m.rows();
    if (n == 0) return std::vector<double>(static_cast<size_t>(amount));
    return direct_relations(m.row(0) + first, n, static_cast<size_t>(m.cols()), amount, scan_frequencies(n, omega));
}

// The relations of columns 0..amount-1 and whether each reaches C, with the
// verdicts of the direct sums. Above the screening threshold the low and total
// masses come from FFT powers, each with its error bound; a column whose
// relation may lie on either side of C is summed directly, the others keep
// the FFT relation, within that bound of the direct one.
std::vector<double> lowfreq_verdicts(const matrix& m, double omega, double C, int amount, std::vector<char>& reaches) {
    const int n = m.rows();
    const lowfreq_scan scan = n > 0 ? scan_frequencies(n, omega) : lowfreq_scan{};
    const int nf = static_cast<int>(scan.freq.size()) + 1;  // bin 0, the squared sum, first
    std::vector<double> relation;
    reaches.assign(static_cast<size_t>(amount), 0);
    if (n == 0 || static_cast<double>(n) * nf < fourier::screen_threshold) {
        relation = lowfreq_relations(m, omega, 0, amount);
        for (int j = 0; j < amount; ++j) reaches[static_cast<size_t>(j)] = relation[static_cast<size_t>(j)] >= C;
        return relation;
    }

    relation.assign(static_cast<size_t>(amount), 0.0);
    std::vector<int> all(static_cast<size_t>(amount));
    for (int c = 0; c < amount; ++c) all[static_cast<size_t>(c)] = c;
    const std::vector<double> data = fourier::gather_columns(m.row(0), n, static_cast<size_t>(m.cols()), all);
    std::vector<double> bins(static_cast<size_t>(nf), 0.0);
    std::copy(scan.freq.begin(), scan.freq.end(), bins.begin() + 1);
    const fourier::power_error_bound bound(n, two_pi, bins);
    constexpr double u = 0x1p-53;
    // Both the direct loop and this one add nf non-negative terms: each sum is
    // off by at most nf roundings of itself.
    const double accumulation = 2 * (nf + 2) * u;
    std::vector<char> uncertain(static_cast<size_t>(amount), 0);
    const char* stage = "LowFreq test";
    fourier::power_spectra(
        data.data(), n, amount, nf,
        [&](int c, const double* power) {
            const auto terms = bound.terms(&data[static_cast<size_t>(c) * static_cast<size_t>(n)]);
            double low = 0, low_error = 0, total = 0, total_error = 0;
            for (int k = 0; k < nf; ++k) {
                const double w = k == 0 || static_cast<size_t>(k - 1) >= scan.doubled ? 1.0 : 2.0;
                total += w * power[k];
                total_error += w * bound(terms, k, power[k]);
                if (static_cast<size_t>(k) <= scan.below_omega) low = total, low_error = total_error;
            }
            low_error += accumulation * (low + low_error);
            total_error += accumulation * (total + total_error);
            // Three roundings on each side, and the direct division's own.
            const double lo = (low - low_error) / (total + total_error) * (1 - 8 * u);
            const double hi = (low + low_error) / (total - total_error) * (1 + 8 * u);
            const bool bounded = std::isfinite(lo) && std::isfinite(hi) && total - total_error > 0;
            if (bounded && lo > C)
                reaches[static_cast<size_t>(c)] = 1;
            else if (!(bounded && hi < C))
                uncertain[static_cast<size_t>(c)] = 1;
            relation[static_cast<size_t>(c)] = low / total;
        },
        {stage, 0, 1000, 2000});

    std::vector<int> resum;
    for (int c = 0; c < amount; ++c)
        if (uncertain[static_cast<size_t>(c)]) resum.push_back(c);
    if (!resum.empty()) {
        const std::vector<double> rows = fourier::rows_of(data.data(), n, resum);
        const std::vector<double> exact =
            direct_relations(rows.data(), n, resum.size(), static_cast<int>(resum.size()), scan);
        for (size_t i = 0; i < resum.size(); ++i) {
            const size_t c = static_cast<size_t>(resum[i]);
            relation[c] = exact[i];
            reaches[c] = exact[i] >= C;
        }
    }
    report_progress(stage, 2000, 2000);
    return relation;
}
}  // namespace

double normal_cdf(double z) {
    const double d1 = 0.049867347, d2 = 0.0211410061, d3 = 0.0032776263, d4 = 3.80036e-05, d5 = 4.88906e-05,
                 d6 = 5.383e-06;
    const double a = std::fabs(z);
    double q = 0;
    if (a <= 7.0) q = 0.5 * std::pow(1 + a * (d1 + a * (d2 + a * (d3 + a * (d4 + a * (d5 + a * d6))))), -16.0);
    if (z < 0) q = 1 - q;
    return 1.0 - q;
}

long long count_increasing_pairs(const double* x, int n) {
    // Bottom-up merge sort: when an element of a right run is placed, the
    // elements of the left run already placed are exactly those below it.
    std::vector<double> a(x, x + std::max(n, 0)), b(a.size());
    long long pairs = 0;
    for (int width = 1; width < n; width *= 2) {
        for (int lo = 0; lo < n; lo += 2 * width) {
            const int mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            int i = lo, j = mid, k = lo;
            while (i < mid && j < hi) {
                if (a[static_cast<size_t>(i)] < a[static_cast<size_t>(j)]) {
                    b[static_cast<size_t>(k++)] = a[static_cast<size_t>(i++)];
                } else {
                    pairs += i - lo;
                    b[static_cast<size_t>(k++)] = a[static_cast<size_t>(j++)];
                }
            }
            while (i < mid) b[static_cast<size_t>(k++)] = a[static_cast<size_t>(i++)];
            pairs += static_cast<long long>(hi - j) * (mid - lo);
            while (j < hi) b[static_cast<size_t>(k++)] = a[static_cast<size_t>(j++)];
        }
        a.swap(b);
    }
    return pairs;
}

double matrix::kendall_plevel(int j) const {
    const std::vector<double> x = column(*this, j);
    const long long n = m_rows;
    // No pair to compare: no evidence of a trend.
    if (n < 2) return 1.0;
    const long long P = count_increasing_pairs(x.data(), m_rows);
    const long long nn1 = n * (n - 1);
    const double tau = static_cast<double>(4 * P) / static_cast<double>(nn1) - 1.0;
    // Integer quotient: 1 only for n = 2.
    const long long c = 2 / nn1;
    const double z = std::fabs(tau - static_cast<double>(c)) * 1.5 * std::sqrt(static_cast<double>(nn1) / (n + 2.5));
    return (1 - normal_cdf(z)) + (1 - normal_cdf(z));
}

int matrix::roots_amount(double epsilon, int j) const {
    const std::vector<double> x = column(*this, j);
    const int n = m_rows;
    auto root = [&](int i, int k) {
        return x[static_cast<size_t>(k)] * x[static_cast<size_t>(i)] <= 0 &&
               std::fabs(x[static_cast<size_t>(k)] - x[static_cast<size_t>(i)]) > epsilon;
    };
    int count = 0;
    int i = 0;
    while (i < n - 1) {
        int k = i + 1;
        while (k < n - 1 && !root(i, k)) ++k;
        if (k < n - 1) {
            ++count;
        } else if (x[static_cast<size_t>(k)] * x[static_cast<size_t>(i)] < 0 &&
                   std::fabs(x[static_cast<size_t>(k)] - x[static_cast<size_t>(i)]) > epsilon) {
            // A zero touched at the very last point is not a root.
            ++count;
        }
        i = k;
    }
    return count;
}

double matrix::lowfreq_relation(double omega, int j) const {
    if (j < 0 || j >= m_cols) throw SSA_math_exception::out_of_range("in matrix::lowfreq_relation(...)");
    // Above 0.5 the scan would run on past the mirrored half of the spectrum, without end for infinity.
    if (!(omega >= 0 && omega <= 0.5))
        throw SSA_math_exception::out_of_range("invalid omega parameter given to lowfreq_relation(...)");
    return lowfreq_relations(*this, omega, j, 1)[0];
}

std::vector<double> matrix::lowfreq_relation_columns(double omega, int count) const {
    if (count < 0 || count > m_cols) throw SSA_math_exception::out_of_range("in matrix::lowfreq_relation_columns(...)");
    if (!(omega >= 0 && omega <= 0.5))
        throw SSA_math_exception::out_of_range("invalid omega parameter given to lowfreq_relation(...)");
    return lowfreq_relations(*this, omega, 0, count);
}

std::vector<double> matrix::lowfreq_relation_columns(double omega, int count, double C) const {
    if (count < 0 || count > m_cols) throw SSA_math_exception::out_of_range("in matrix::lowfreq_relation_columns(...)");
    if (!(omega >= 0 && omega <= 0.5))
        throw SSA_math_exception::out_of_range("invalid omega parameter given to lowfreq_relation(...)");
    std::vector<char> reaches;
    return lowfreq_verdicts(*this, omega, C, count, reaches);
}

int matrix::trend_Kendall(int& count, int cpntsamount, int* identified, double alpha, std::ostream* log) const {
    if (log) *log << "*** Trend identification by Kendall method, M=" << m_rows << ", alpha=" << alpha << " ***\n\n";
    count = 0;
    check_amount(*this, cpntsamount, "trend_Kendall");
    for (int j = 0; j < cpntsamount; ++j) {
        const double plevel = kendall_plevel(j);
        if (log) *log << "#" << j + 1 << " plevel=" << plevel << "\n";
        if (plevel < alpha) {
            write_identified(log, j);
            identified[count++] = j;
        }
        report_progress("Kendall test", j + 1, cpntsamount);
    }
    if (log) log->flush();
    return 0;
}

int matrix::trend_Roots(int& count, int cpntsamount, int* identified, int maxroots, double epsilon,
                        std::ostream* log) const {
    if (log)
        *log << "*** Trend identification by Roots method, M=" << m_rows << ", maxroots=" << maxroots
             << ", epsilon=" << epsilon << " ***\n\n";
    check_amount(*this, cpntsamount, "trend_Roots");
    count = 0;
    for (int j = 0; j < cpntsamount; ++j) {
        const int roots = roots_amount(epsilon, j);
        if (log) *log << "#" << j + 1 << "  RootsAmount=" << roots << std::endl;
        if (roots <= maxroots) {
            write_identified(log, j);
            identified[count++] = j;
        }
        report_progress("Roots test", j + 1, cpntsamount);
    }
    if (log) log->flush();
    return 0;
}

int matrix::trend_LowFreq(int& count, int cpntsamount, int* identified, double omega, double C,
                          std::ostream* log) const {
    if (log)
        *log << "*** Trend identification by LowFreq method, M=" << m_rows << ", omega=" << omega << ", C=" << C
             << " ***\n\n";
    check_amount(*this, cpntsamount, "trend_LowFreq");
    if (omega < 0 || omega > 0.5)
        throw SSA_math_exception::internal_error("invalid omega parameter given to trend_LowFreq(...)");
    if (C < 0 || C > 1) throw SSA_math_exception::internal_error("invalid C parameter given to tredn_LowFreq(...)");
    count = 0;
    if (omega > 0.499999999) {
        for (int j = 0; j < cpntsamount; ++j) {
            write_identified(log, j);
            identified[count++] = j;
        }
        return 0;
    }
    std::vector<char> reaches;
    const std::vector<double> relation = lowfreq_verdicts(*this, omega, C, cpntsamount, reaches);
    for (int j = 0; j < cpntsamount; ++j) {
        if (log) *log << "#" << j + 1 << "  Relation=" << relation[static_cast<size_t>(j)] << std::endl;
        if (reaches[static_cast<size_t>(j)]) {
            write_identified(log, j);
            identified[count++] = j;
        }
    }
    return 0;
}
