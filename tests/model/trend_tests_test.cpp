#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>

#include "core/matrix.h"
#include "core/ssa_exception.h"
#include "methods/trend_tests.h"

namespace {

matrix from_columns(const std::vector<std::vector<double>>& cols) {
    matrix m(static_cast<int>(cols[0].size()), static_cast<int>(cols.size()));
    for (int j = 0; j < m.cols(); ++j)
        for (int t = 0; t < m.rows(); ++t) m.set(cols[j][t], t, j);
    return m;
}

matrix one_column(const std::vector<double>& x) { return from_columns({x}); }

// Increasing, alternating, constant.
matrix small_case() { return from_columns({{1, 2, 3, 4, 5}, {1, -1, 1, -1, 1}, {2, 2, 2, 2, 2}}); }

long long quadratic_pairs(const std::vector<double>& x) {
    long long p = 0;
    for (size_t i = 0; i < x.size(); ++i)
        for (size_t k = i + 1; k < x.size(); ++k) p += x[i] < x[k];
    return p;
}

// The relation straight from its definition: one plain double loop per frequency.
double plain_relation(const std::vector<double>& x, double omega) {
    const int n = static_cast<int>(x.size());
    auto I = [&](double f) {
        double c = 0, s = 0;
        for (int t = 0; t < n; ++t) {
            c += x[t] * std::cos(6.283185307179586 * t * f);
            s += x[t] * std::sin(6.283185307179586 * t * f);
        }
        return c * c + s * s;
    };
    double sum = 0;
    for (double v : x) sum += v;
    const double h = 1.0 / n;
    double low = sum * sum, f = h;
    for (; f < omega; f += h) low = low + 2 * I(f);
    double total = low;
    for (; f < 0.5; f += h) total = total + 2 * I(f);
    if (f < 0.5000000001) total = total + I(f);
    return low / total;
}

}  // namespace

TEST(NormalCdf, ApproximatesTheDistributionSymmetrically) {
    EXPECT_NEAR(normal_cdf(1.96), 0.9750021, 2e-7);
    EXPECT_NEAR(normal_cdf(-1), 0.1586553, 2e-7);
    EXPECT_EQ(normal_cdf(0), 0.5);
    for (double z : {0.3, 1.7, 4.2, 6.9}) EXPECT_NEAR(normal_cdf(-z), 1 - normal_cdf(z), 1e-15) << z;
    EXPECT_EQ(normal_cdf(7.5), 1.0);
    EXPECT_EQ(normal_cdf(-7.5), 0.0);
}

TEST(Kendall, PairCountEqualsTheQuadraticDefinition) {
    std::mt19937 gen(7);
    for (int n : {0, 1, 2, 3, 7, 16, 33, 100, 1001}) {
        for (int levels : {2, 5, 1000}) {  // few levels: many ties
            std::uniform_int_distribution<int> value(0, levels - 1);
            std::vector<double> x(static_cast<size_t>(n));
            for (double& v : x) v = value(gen) - levels / 2;
            EXPECT_EQ(count_increasing_pairs(x.data(), n), quadratic_pairs(x)) << n << " " << levels;
        }
    }
    const std::vector<double> signed_zeros{0.0, -0.0, 0.0, -0.0};
    EXPECT_EQ(count_increasing_pairs(signed_zeros.data(), 4), 0);
}

TEST(Kendall, WorkedPlevels) {
    const double increasing = one_column({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}).kendall_plevel(0);
    EXPECT_NEAR(increasing, 5.7224e-05, 1e-9);
    // P = 0 gives tau = -1: the same z, so a constant column looks like a trend.
    EXPECT_EQ(one_column(std::vector<double>(10, 3.0)).kendall_plevel(0), increasing);
    EXPECT_EQ(one_column({10, 9, 8, 7, 6, 5, 4, 3, 2, 1}).kendall_plevel(0), increasing);
    EXPECT_NEAR(one_column({3, 1, 4, 1, 5, 9, 2, 6, 5, 3}).kendall_plevel(0), 0.420829, 1e-6);
    // n = 2: the correction 1 cancels tau = 1.
    EXPECT_EQ(one_column({1, 2}).kendall_plevel(0), 1.0);
    EXPECT_THROW(small_case().kendall_plevel(3), SSA_math_exception::out_of_range);
}

TEST(Roots, CountsSignChangesWithHysteresis) {
    struct roots_case {
        std::vector<double> x;
        int roots;
    };
    for (const roots_case& c : std::vector<roots_case>{
             {{1, -1, 1, -1, 1}, 4},
             {{1, 0, 0, 0, 1}, 1},  // the anchor sits on zero; the last step is no strict change
             {{0.5, 2, 3, 0.1, 7}, 0},
             {{1, 1, -1}, 1},              // a strict change at the last point counts
             {{1, 1, 0}, 0},               // a zero touched at the last point does not
             {{1e-5, -1e-5, 2e-5, 1}, 0},  // steps within epsilon
             {{-1, 0.00005, 1, -1}, 2},
             {{3}, 0},
         })
        EXPECT_EQ(one_column(c.x).roots_amount(0.0001, 0), c.roots) << ::testing::PrintToString(c.x);
}

TEST(LowFreq, RelationIsBitIdenticalToThePlainLoops) {
    std::mt19937 gen(11);
    std::normal_distribution<double> noise(0, 1);
    // Odd and even n, and omegas below, between and above the scanned frequencies.
    for (int n : {2, 5, 10, 49, 64, 100, 333}) {
        std::vector<std::vector<double>> cols(12, std::vector<double>(static_cast<size_t>(n)));
        for (size_t j = 0; j < cols.size(); ++j)
            for (int t = 0; t < n; ++t) cols[j][t] = std::cos(0.05 * (j + 1) * t) + 0.3 * noise(gen);
        const matrix m = from_columns(cols);
        for (double omega : {0.0, 0.01, 0.08, 0.25, 0.4999}) {
            for (int j = 0; j < m.cols(); ++j)
                ASSERT_EQ(m.lowfreq_relation(omega, j), plain_relation(cols[j], omega))
                    << "n=" << n << " omega=" << omega << " j=" << j;
            // The whole-table pass of the test must agree with the one-column statistic.
            std::vector<int> found(12);
            int count = 0;
            m.trend_LowFreq(count, m.cols(), found.data(), omega, 0.5, nullptr);
            int expected = 0;
            for (int j = 0; j < m.cols(); ++j) expected += plain_relation(cols[j], omega) >= 0.5;
            EXPECT_EQ(count, expected);
        }
    }
}

TEST(LowFreq, RelationSeparatesSlowFromFastColumns) {
    std::vector<double> slow, fast, zero_mean{1, -1, 2, -2, 0.5, -0.5};
    for (int t = 0; t < 200; ++t) {
        slow.push_back(5 + std::cos(2 * M_PI * t / 100));
        fast.push_back(std::cos(2 * M_PI * t / 3));
    }
    EXPECT_GT(one_column(slow).lowfreq_relation(0.05, 0), 0.99);
    EXPECT_LT(one_column(fast).lowfreq_relation(0.05, 0), 0.01);
    EXPECT_EQ(one_column(zero_mean).lowfreq_relation(0, 0), 0.0);
}

TEST(TrendTests, SmallCaseLogsAndIdentifications) {
    const matrix m = small_case();
    std::vector<int> found(3, -1);
    int count = -1;

    std::ostringstream kendall;
    EXPECT_EQ(m.trend_Kendall(count, 3, found.data(), 0.05, &kendall), 0);
    EXPECT_EQ(kendall.str(),
              "*** Trend identification by Kendall method, M=5, alpha=0.05 ***\n\n"
              "#1 plevel=0.0143058\n* Component #1 identificated as trend component\n\n"
              "#2 plevel=0.327187\n"
              "#3 plevel=0.0143058\n* Component #3 identificated as trend component\n\n");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(found, (std::vector<int>{0, 2, -1}));

    std::ostringstream roots;
    m.trend_Roots(count, 3, found.data(), 3, 0.0001, &roots);
    EXPECT_EQ(roots.str(),
              "*** Trend identification by Roots method, M=5, maxroots=3, epsilon=0.0001 ***\n\n"
              "#1  RootsAmount=0\n* Component #1 identificated as trend component\n\n"
              "#2  RootsAmount=4\n"
              "#3  RootsAmount=0\n* Component #3 identificated as trend component\n\n");
    EXPECT_EQ(count, 2);

    std::ostringstream lowfreq;
    m.trend_LowFreq(count, 2, found.data(), 0.1, 0.04, &lowfreq);
    EXPECT_EQ(lowfreq.str(),
              "*** Trend identification by LowFreq method, M=5, omega=0.1, C=0.04 ***\n\n"
              "#1  Relation=0.818182\n* Component #1 identificated as trend component\n\n"
              "#2  Relation=0.04\n* Component #2 identificated as trend component\n\n");
    EXPECT_EQ(count, 2);
    EXPECT_EQ(found, (std::vector<int>{0, 1, -1}));

    // No log: the same decisions.
    m.trend_Roots(count, 3, found.data(), 0, 0.0001, nullptr);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(found, (std::vector<int>{0, 2, -1}));
}

TEST(TrendTests, LowFreqAtHalfIdentifiesEveryColumnWithoutRelations) {
    const matrix m = small_case();
    std::vector<int> found(3);
    int count = 0;
    std::ostringstream log;
    m.trend_LowFreq(count, 3, found.data(), 0.5, 1, &log);
    EXPECT_EQ(log.str(),
              "*** Trend identification by LowFreq method, M=5, omega=0.5, C=1 ***\n\n"
              "* Component #1 identificated as trend component\n\n"
              "* Component #2 identificated as trend component\n\n"
              "* Component #3 identificated as trend component\n\n");
    EXPECT_EQ(count, 3);
    EXPECT_EQ(found, (std::vector<int>{0, 1, 2}));
}

TEST(TrendTests, BadParametersThrowAfterTheHeader) {
    const matrix m = small_case();
    std::vector<int> found(4);
    struct bad_call {
        std::function<void(int&, std::ostream*)> call;
        std::string message;
        int count_after;  // count preset to 7
    };
    const std::vector<bad_call> calls{
        {[&](int& c, std::ostream* l) { m.trend_Kendall(c, 0, found.data(), 0.05, l); },
         "invalid cpntsamount parameter given to trend_Kendall(...)", 0},
        {[&](int& c, std::ostream* l) { m.trend_Kendall(c, 4, found.data(), 0.05, l); },
         "invalid cpntsamount parameter given to trend_Kendall(...)", 0},
        {[&](int& c, std::ostream* l) { m.trend_Roots(c, 0, found.data(), 0, 0.0001, l); },
         "invalid cpntsamount parameter given to trend_Roots(...)", 7},
        {[&](int& c, std::ostream* l) { m.trend_LowFreq(c, 0, found.data(), 0.7, 2, l); },
         "invalid cpntsamount parameter given to trend_LowFreq(...)", 7},
        {[&](int& c, std::ostream* l) { m.trend_LowFreq(c, 3, found.data(), 0.500001, 2, l); },
         "invalid omega parameter given to trend_LowFreq(...)", 7},
        {[&](int& c, std::ostream* l) { m.trend_LowFreq(c, 3, found.data(), -0.01, 0.5, l); },
         "invalid omega parameter given to trend_LowFreq(...)", 7},
        {[&](int& c, std::ostream* l) { m.trend_LowFreq(c, 3, found.data(), 0.1, 1.01, l); },
         "invalid C parameter given to tredn_LowFreq(...)", 7},
        {[&](int& c, std::ostream* l) { m.trend_LowFreq(c, 3, found.data(), 0.1, -0.5, l); },
         "invalid C parameter given to tredn_LowFreq(...)", 7},
    };
    for (const bad_call& b : calls) {
        std::ostringstream log;
        int count = 7;
        try {
            b.call(count, &log);
            ADD_FAILURE() << "no exception: " << b.message;
        } catch (const SSA_math_exception::ssa_exception& e) {
            EXPECT_EQ(e.message, b.message);
        }
        EXPECT_EQ(count, b.count_after) << b.message;
        EXPECT_EQ(log.str().rfind("*** Trend identification by ", 0), 0u) << b.message;
        EXPECT_EQ(log.str().find('#'), std::string::npos) << b.message;
        EXPECT_THROW(b.call(count, nullptr), SSA_math_exception::ssa_exception) << b.message;
    }
}

TEST(TrendTests, KendallAndRootsFlushTheirLog) {
    const std::string name = testing::TempDir() + "trend_flush_" + std::to_string(::getpid()) + ".log";
    const matrix m = small_case();
    std::vector<int> found(3);
    int count = 0;
    for (int test = 0; test < 2; ++test) {
        std::ofstream log(name);
        if (test == 0)
            m.trend_Kendall(count, 3, found.data(), 0.05, &log);
        else
            m.trend_Roots(count, 3, found.data(), 0, 0.0001, &log);
        std::ifstream in(name);  // read while log is still open
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        EXPECT_EQ(text.size(), static_cast<size_t>(log.tellp())) << test;
        EXPECT_NE(text.find("* Component #3"), std::string::npos) << test;
    }
    std::remove(name.c_str());
}
