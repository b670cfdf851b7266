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

// The frequencies the LowFreq relation sums over for n points, in scan order
// (f advanced by repeated addition of 1/n, as the relation is defined), and
// their cosines and sines for one tile of frequencies and rows at a time.
// One table serves every column of a call, so each cosine and sine is
// computed once.
class lowfreq_table {
public:
    static constexpr int block = 2;         // frequencies summed together
    static constexpr int tile_freqs = 64;   // a multiple of block
    static constexpr int tile_rows = 256;   // a tile: 256 KB, a block of it 8 KB
    static constexpr int width = 2 * block;  // values per row of a block: cosines, then sines

    lowfreq_table(int n, double omega) {
        const double h = 1.0 / n;
        double f = h;
        while (f < omega) {
            m_freq.push_back(f);
            f += h;
        }
        m_low = static_cast<int>(m_freq.size());
        while (f < 0.5) {
            m_freq.push_back(f);
            f += h;
        }
        m_doubled = static_cast<int>(m_freq.size());
        // For even n the scan stops at 0.5 itself, which is counted once.
        if (f < 0.5000000001) m_freq.push_back(f);
        m_values.resize(static_cast<size_t>(tile_freqs) * tile_rows * 2);
    }

    int size() const { return static_cast<int>(m_freq.size()); }
    int low() const { return m_low; }
    // Frequencies from here on (the one at 0.5) are counted once, not twice.
    int doubled() const { return m_doubled; }

    // Fills the tile of frequencies first .. first+tile_freqs-1 and rows
    // t0 .. t0+rows-1, block after block; frequencies past the end are zeros.
    void load(int first, int t0, int rows) {
        m_rows = rows;
        for (int b = 0; b < tile_freqs / block; ++b) {
            double* v = m_values.data() + static_cast<size_t>(b) * static_cast<size_t>(rows) * width;
            for (int t = t0; t < t0 + rows; ++t, v += width)
                for (int k = 0; k < block; ++k) {
                    const int i = first + b * block + k;
                    if (i < size()) {
                        const double f = m_freq[static_cast<size_t>(i)];
                        v[k] = std::cos(two_pi * t * f);
                        v[block + k] = std::sin(two_pi * t * f);
                    } else {
                        v[k] = v[block + k] = 0;
                    }
                }
        }
    }

    const double* block_values(int b) const {
        return m_values.data() + static_cast<size_t>(b) * static_cast<size_t>(m_rows) * width;
    }

private:
    int m_low = 0;
    int m_doubled = 0;
    int m_rows = 0;
    std::vector<double> m_freq;
    std::vector<double> m_values;
};

// Columns summed together: four columns by two frequencies keep every
// accumulator in a register and use each loaded table value four times.
constexpr int lowfreq_columns = 4;

// Carries the sums of x_t cos and x_t sin of one block of frequencies over
// rows of a tile: x holds the rows of lowfreq_columns columns, values the
// block's rows, sums per column the cosine sums, then the sine sums. The
// rows are added in ascending order onto the sums of the tiles before, so
// each sum is formed exactly as the plain loop over t forms it.
void add_sums(const double* x, const double* values, int rows, double* sums) {
    constexpr int width = lowfreq_table::width;
    double acc[lowfreq_columns][width];
    for (int c = 0; c < lowfreq_columns; ++c)
        for (int k = 0; k < width; ++k) acc[c][k] = sums[c * width + k];
    for (int t = 0; t < rows; ++t, values += width, x += lowfreq_columns)
        for (int c = 0; c < lowfreq_columns; ++c)
            for (int k = 0; k < width; ++k) acc[c][k] += x[c] * values[k];
    for (int c = 0; c < lowfreq_columns; ++c)
        for (int k = 0; k < width; ++k) sums[c * width + k] = acc[c][k];
}

// Relations of the columns first .. first+amount-1.
std::vector<double> lowfreq_relations(const matrix& m, double omega, int first, int amount) {
    const int n = m.rows();
    std::vector<double> low(static_cast<size_t>(amount)), total(static_cast<size_t>(amount));
    if (n == 0) return low;

    // The columns four by four, each group row after row (the last one padded
    // with zeros), so the sums read memory in order.
    const int groups = (amount + lowfreq_columns - 1) / lowfreq_columns;
    const size_t group_size = static_cast<size_t>(n) * lowfreq_columns;
    std::vector<double> packed(static_cast<size_t>(groups) * group_size);
    for (int j = 0; j < amount; ++j) {
        double* to = packed.data() + static_cast<size_t>(j / lowfreq_columns) * group_size + j % lowfreq_columns;
        double sum = 0;
        for (int t = 0; t < n; ++t) {
            const double x = m(t, first + j);
            to[static_cast<size_t>(t) * lowfreq_columns] = x;
            sum += x;
        }
        total[static_cast<size_t>(j)] = low[static_cast<size_t>(j)] = sum * sum;
    }

    // Tiles of frequencies, then of rows: a tile stays in the second-level
    // cache while every column group passes over it, and a group's rows of
    // it stay in the first while the tile's blocks pass over them.
    lowfreq_table table(n, omega);
    constexpr int block = lowfreq_table::block, width = lowfreq_table::width;
    constexpr int blocks = lowfreq_table::tile_freqs / block;
    constexpr size_t group_sums = static_cast<size_t>(blocks) * lowfreq_columns * width;
    std::vector<double> sums(static_cast<size_t>(groups) * group_sums);
    const long long tiles = (table.size() + lowfreq_table::tile_freqs - 1) / lowfreq_table::tile_freqs;
    for (int f0 = 0; f0 < table.size(); f0 += lowfreq_table::tile_freqs) {
        report_progress("LowFreq test", f0 / lowfreq_table::tile_freqs, tiles);
        const int freqs = std::min(lowfreq_table::tile_freqs, table.size() - f0);
        std::fill(sums.begin(), sums.end(), 0.0);
        for (int t0 = 0; t0 < n; t0 += lowfreq_table::tile_rows) {
            const int rows = std::min(lowfreq_table::tile_rows, n - t0);
            table.load(f0, t0, rows);
            for (int g = 0; g < groups; ++g) {
                const double* x = packed.data() + static_cast<size_t>(g) * group_size +
                                  static_cast<size_t>(t0) * lowfreq_columns;
                for (int b = 0; b * block < freqs; ++b)
                    add_sums(x, table.block_values(b), rows,
                             sums.data() + static_cast<size_t>(g) * group_sums +
                                 static_cast<size_t>(b) * lowfreq_columns * width);
            }
        }
        // total carries the running sum over the frequencies in scan order;
        // low is its value after the last frequency below omega.
        for (int j = 0; j < amount; ++j) {
            const double* s = sums.data() + static_cast<size_t>(j / lowfreq_columns) * group_sums +
                              static_cast<size_t>(j % lowfreq_columns) * width;
            double& tot = total[static_cast<size_t>(j)];
            for (int k = 0; k < freqs; ++k) {
                const double* sb = s + static_cast<size_t>(k / block) * lowfreq_columns * width;
                const double re = sb[k % block], im = sb[block + k % block];
                const double I = re * re + im * im;
                const int f = f0 + k;
                tot = f < table.doubled() ? tot + 2 * I : tot + I;
                if (f < table.low()) low[static_cast<size_t>(j)] = tot;
            }
        }
    }
    report_progress("LowFreq test", tiles, tiles);
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
