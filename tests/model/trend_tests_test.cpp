#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <sstream>
#include <tuple>

#include "methods/trend_tests.h"
#include "test_util.h"

namespace {

const matrix small_case = from_columns({{1, 2, 3, 4, 5}, {1, -1, 1, -1, 1}, {2, 2, 2, 2, 2}});

// The relation straight from its definition: one plain double loop per frequency.
double plain_relation(const std::vector<double>& x, double omega) {
    const int n = static_cast<int>(x.size());
    auto I = [&](double f) {
        double c = 0, s = 0;
        for (int t = 0; t < n; ++t) c += x[t] * std::cos(6.283185307179586 * t * f), s += x[t] * std::sin(6.283185307179586 * t * f);
        return c * c + s * s;
    };
    const double sum = std::accumulate(x.begin(), x.end(), 0.0);
    double low = sum * sum, f = 1.0 / n;
    for (; f < omega; f += 1.0 / n) low = low + 2 * I(f);
    double total = low;
    for (; f < 0.5; f += 1.0 / n) total = total + 2 * I(f);
    if (f < 0.5000000001) total = total + I(f);
    return low / total;
}

// Whether LowFreq over all columns of m identifies column j.
bool identifies(const matrix& m, double omega, double C, int j) {
    std::vector<int> found(static_cast<size_t>(m.cols()));
    int count = 0;
    m.trend_LowFreq(count, m.cols(), found.data(), omega, C, nullptr);
    return std::count(found.begin(), found.begin() + count, j) > 0;
}

// Identified at C = the exact relation, not just above it, and not one ulp above.
void expect_threshold_at(const matrix& m, double omega, double exact, int j) {
    EXPECT_TRUE(identifies(m, omega, exact, j)) << j;
    if (exact < 1) { EXPECT_FALSE(identifies(m, omega, std::nextafter(exact, 2.0), j)) << j; }
}

}  // namespace

TEST(Kendall, WorkedPlevelsAndPairCounts) {
    const double increasing = from_columns({{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}}).kendall_plevel(0);
    EXPECT_NEAR(increasing, 5.7224e-05, 1e-9);
    // P = 0 gives tau = -1 and the same z.
    EXPECT_EQ(from_columns({std::vector<double>(10, 3.0)}).kendall_plevel(0), increasing);
    EXPECT_EQ(from_columns({{1, 2}}).kendall_plevel(0), 1.0);  // the correction 1 cancels tau = 1
    EXPECT_THROW(small_case.kendall_plevel(3), SSA_math_exception::out_of_range);

    // The pair count against the quadratic definition.
    std::mt19937 gen(7);
    for (int n : {0, 1, 2, 3, 7, 33, 1001})
        for (int levels : {2, 5, 1000}) {  // few levels: many ties
            std::uniform_int_distribution<int> value(-levels / 2, levels / 2);
            std::vector<double> x(static_cast<size_t>(n));
            for (double& v : x) v = value(gen);
            long long quadratic = 0;
            for (int i = 0; i < n; ++i)
                for (int k = i + 1; k < n; ++k) quadratic += x[i] < x[k];
            EXPECT_EQ(count_increasing_pairs(x.data(), n), quadratic) << n << " " << levels;
        }
}

TEST(Roots, CountsSignChangesWithHysteresis) {
    // The anchor sits on zero; a strict change at the last point counts, a zero touched there not; steps within epsilon.
    const std::vector<std::pair<std::vector<double>, int>> cases{
        {{1, -1, 1, -1, 1}, 4}, {{1, 0, 0, 0, 1}, 1}, {{1, 1, -1}, 1}, {{1, 1, 0}, 0}, {{1e-5, -1e-5, 2e-5, 1}, 0}};
    for (const auto& c : cases)
        EXPECT_EQ(from_columns({c.first}).roots_amount(0.0001, 0), c.second) << testing::PrintToString(c.first);
}

TEST(LowFreq, RelationIsBitIdenticalToThePlainLoopsAlsoSplitBetweenThreads) {
    std::mt19937 gen(11);
    std::normal_distribution<double> noise(0, 1);
    // Odd and even n, several tiles of rows and frequencies, a remainder of columns.
    for (int n : {2, 5, 64, 333}) {
        std::vector<std::vector<double>> cols(11, std::vector<double>(static_cast<size_t>(n)));
        for (size_t j = 0; j < cols.size(); ++j)
            for (int t = 0; t < n; ++t) cols[j][t] = std::cos(0.05 * (j + 1) * t) + 0.3 * noise(gen);
        const matrix m = from_columns(cols);
        for (double omega : {0.0, 0.01, 0.08, 0.25, 0.4999})
            for (int j = 0; j < m.cols(); ++j) {
                const double exact = plain_relation(cols[j], omega);
                ASSERT_EQ(m.lowfreq_relation(omega, j), exact) << "n=" << n << " omega=" << omega << " j=" << j;
                ASSERT_EQ(m.lowfreq_relation_columns(omega, m.cols())[static_cast<size_t>(j)], exact) << j;
                if (j < 6) { ASSERT_EQ(m.lowfreq_relation_columns(omega, 6)[static_cast<size_t>(j)], exact) << j; }
                expect_threshold_at(m, omega, exact, j);
            }
    }
    EXPECT_EQ(from_columns({{1, -1, 2, -2, 0.5, -0.5}}).lowfreq_relation(0, 0), 0.0);  // zero mean
    EXPECT_THROW(small_case.lowfreq_relation(std::nan(""), 0), SSA_math_exception::out_of_range);
    EXPECT_THROW(small_case.lowfreq_relation_columns(0.1, 4), SSA_math_exception::out_of_range);
    EXPECT_TRUE(small_case.lowfreq_relation_columns(0.1, 0).empty());

    // Enough work for the column sums to split the columns between two threads.
    const int wide = 90;
    std::vector<std::vector<double>> cols(wide, std::vector<double>(700));
    for (int j = 0; j < wide; ++j)
        for (int t = 0; t < 700; ++t) cols[j][t] = std::sin(0.01 * (j + 1) * t + j) + 0.001 * t;
    for (int j : {0, 44, 45, 89}) expect_threshold_at(from_columns(cols), 0.08, plain_relation(cols[j], 0.08), j);
}

// Long columns take the FFT screening; verdicts and log must stay those of the direct relation.
TEST(LowFreq, ScreenedVerdictsAreThoseOfTheDirectSums) {
    std::mt19937 gen(3);
    std::normal_distribution<double> noise(0, 1);
    for (int n : {2048, 2049}) {  // just above the screening threshold
        std::vector<std::vector<double>> cols(6, std::vector<double>(static_cast<size_t>(n)));
        for (int t = 0; t < n; ++t)  // trend, harmonic, noise, near omega, 0 / 0, not finite
            cols[0][t] = 5 + 0.01 * t + 0.1 * noise(gen), cols[1][t] = std::sin(2 * M_PI * t / 12.0),
            cols[2][t] = noise(gen), cols[3][t] = std::cos(2 * M_PI * 0.05 * t) + 0.01 * t, cols[4][t] = 0,
            cols[5][t] = t == 7 ? HUGE_VAL : 1;
        const matrix m = from_columns(cols);
        const double omega = 0.05;
        const std::vector<double> direct = m.lowfreq_relation_columns(omega, m.cols());
        for (int j = 0; j < m.cols(); ++j) {
            const double r = direct[static_cast<size_t>(j)];
            for (double C : {r, std::nextafter(r, 2.0), std::nextafter(r, -1.0), 0.0, 0.5, 1.0})
                if (C >= 0 && C <= 1) { EXPECT_EQ(identifies(m, omega, C, j), r >= C) << "n=" << n << " j=" << j << " C=" << C; }
        }
        std::stringstream log;
        std::vector<int> found(6);
        int count = 0;
        m.trend_LowFreq(count, 6, found.data(), omega, 0.5, &log);
        std::vector<double> logged;
        for (std::string line; std::getline(log, line);)
            if (line.rfind("#", 0) == 0) logged.push_back(leading_number(line.substr(line.find('=') + 1)));
        ASSERT_EQ(logged.size(), 6u);
        const std::vector<double> table = m.lowfreq_relation_columns(omega, 6, 0.5);
        for (size_t j = 0; j < 4; ++j) {
            EXPECT_NEAR(logged[j], direct[j], 1e-5) << j;
            EXPECT_NEAR(table[j], direct[j], 1e-9) << j;
            EXPECT_EQ(table[j] >= 0.5, direct[j] >= 0.5) << j;
        }
    }
}

TEST(TrendTests, SmallCaseLogsAndIdentifications) {
    std::vector<int> found(3, -1);
    int count = -1;
    std::ostringstream kendall, lowfreq, half;  // one exact log per method family is enough
    small_case.trend_Kendall(count, 3, found.data(), 0.05, &kendall);
    EXPECT_EQ(kendall.str(), "*** Trend identification by Kendall method, M=5, alpha=0.05 ***\n\n"
              "#1 plevel=0.0143058\n* Component #1 identificated as trend component\n\n"
              "#2 plevel=0.327187\n"
              "#3 plevel=0.0143058\n* Component #3 identificated as trend component\n\n");
    EXPECT_EQ(found, (std::vector<int>{0, 2, -1}));

    small_case.trend_Roots(count, 2, found.data(), 4, 0.0001, nullptr);
    EXPECT_EQ(count, 2) << "maxroots is inclusive: the alternating column's four roots pass at 4";
    // By Parseval the totals are 5 * 55 and 5 * 5: relations 225 / 275 and 1 / 25.
    small_case.trend_LowFreq(count, 2, found.data(), 0.1, 0.04, &lowfreq);
    EXPECT_EQ(lowfreq.str(), "*** Trend identification by LowFreq method, M=5, omega=0.1, C=0.04 ***\n\n"
              "#1  Relation=0.818182\n* Component #1 identificated as trend component\n\n"
              "#2  Relation=0.04\n* Component #2 identificated as trend component\n\n");
    EXPECT_EQ(found, (std::vector<int>{0, 1, -1}));

    // At 0.5 every column is trend and no relation is computed.
    small_case.trend_LowFreq(count, 3, found.data(), 0.5, 1, &half);
    EXPECT_EQ(half.str().find("Relation"), std::string::npos);
    EXPECT_EQ(found, (std::vector<int>{0, 1, 2}));
}

TEST(TrendTests, BadParametersThrowAfterTheHeader) {
    int* found = nullptr;  // never written
    const std::string amount = "invalid cpntsamount parameter given to ";
    using call = std::function<void(int&, std::ostream*)>;
    const std::vector<std::tuple<call, std::string, int>> calls{
        {[&](int& c, auto l) { small_case.trend_Kendall(c, 4, found, 0.05, l); }, amount + "trend_Kendall(...)", 0},
        {[&](int& c, auto l) { small_case.trend_LowFreq(c, 3, found, 0.500001, 2, l); },
         "invalid omega parameter given to trend_LowFreq(...)", 7},
        {[&](int& c, auto l) { small_case.trend_LowFreq(c, 3, found, 0.1, 1.01, l); }, "invalid C parameter given to tredn_LowFreq(...)", 7},
    };
    for (const auto& [f, message, count_after] : calls) {
        std::ostringstream log;
        int count = 7;
        EXPECT_EQ(thrown([&, &g = f] { g(count, &log); }), message);
        EXPECT_EQ(count, count_after) << message;
        EXPECT_EQ(log.str().rfind("*** Trend identification by ", 0), 0u) << message;
        EXPECT_EQ(log.str().find('#'), std::string::npos) << message;
    }
}
