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
#include "fourier_sums.h"

namespace {

constexpr double two_pi = 6.283185307179586;

// Checked copy of column j, so a bad j throws out_of_range.
std::vector<double> column(const matrix& m, int j) {
    std::vector<double> x(static_cast<size_t>(m.rows()));
    for (int t = 0; t < m.rows(); ++t) x[static_cast<size_t>(t)] = m[Pair::t_pair<int>(t, j)];
    return x;
}

void check_amount(const matrix& m, int cpntsamount, const char* test) {
    if (cpntsamount < 1 || cpntsamount > m.cols())
        throw SSA_math_exception::ssa_exception(std::string("invalid cpntsamount parameter given to ") + test +
                                                "(...)");
}

void write_identified(std::ostream* log, int j) {
    if (log) *log << "* Component #" << j + 1 << " identificated as trend component\n\n";
}

// Relations of the columns first .. first+amount-1. The frequencies are those
// of the scan that defines the relation (f advanced by repeated addition of
// 1/n); every column's total runs over them in scan order.
std::vector<double> lowfreq_relations(const matrix& m, double omega, int first, int amount) {
    const int n = m.rows();
    std::vector<double> low(static_cast<size_t>(amount)), total(static_cast<size_t>(amount));
    if (n == 0) return low;
    for (int j = 0; j < amount; ++j) {
        double sum = 0;
        for (int t = 0; t < n; ++t) sum += m(t, first + j);
        total[static_cast<size_t>(j)] = low[static_cast<size_t>(j)] = sum * sum;
    }

    std::vector<double> freq;
    const double h = 1.0 / n;
    double f = h;
    for (; f < omega; f += h) freq.push_back(f);
    const size_t below_omega = freq.size();
    for (; f < 0.5; f += h) freq.push_back(f);
    const size_t doubled = freq.size();
    // For even n the scan stops at 0.5 itself, which is counted once.
    if (f < 0.5000000001) freq.push_back(f);

    fourier::column_sums(
        m.row(0) + first, n, static_cast<size_t>(m.cols()), amount, static_cast<int>(freq.size()),
        [&](int t, int k) { return two_pi * t * freq[static_cast<size_t>(k)]; },
        [&](int k, int c, double C, double S) {
            const double I = C * C + S * S;
            double& tot = total[static_cast<size_t>(c)];
            tot = static_cast<size_t>(k) < doubled ? tot + 2 * I : tot + I;
            if (static_cast<size_t>(k) < below_omega) low[static_cast<size_t>(c)] = tot;
        },
        "LowFreq test");
    for (int j = 0; j < amount; ++j) low[static_cast<size_t>(j)] /= total[static_cast<size_t>(j)];
    return low;
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
        throw SSA_math_exception::ssa_exception("invalid omega parameter given to trend_LowFreq(...)");
    if (C < 0 || C > 1) throw SSA_math_exception::ssa_exception("invalid C parameter given to tredn_LowFreq(...)");
    count = 0;
    if (omega > 0.499999999) {
        for (int j = 0; j < cpntsamount; ++j) {
            write_identified(log, j);
            identified[count++] = j;
        }
        return 0;
    }
    const std::vector<double> relation = lowfreq_relations(*this, omega, 0, cpntsamount);
    for (int j = 0; j < cpntsamount; ++j) {
        const double r = relation[static_cast<size_t>(j)];
        if (log) *log << "#" << j + 1 << "  Relation=" << r << std::endl;
        if (r >= C) {
            write_identified(log, j);
            identified[count++] = j;
        }
    }
    return 0;
}
