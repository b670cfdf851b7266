#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>

#include "core/ssa_exception.h"
#include "fake_ui.h"
#include "invest/trend_invest.h"

namespace {

t_ts sample_series(int n) {
    std::vector<double> v;
    for (int t = 0; t < n; ++t) v.push_back(10 + 0.5 * t + 3 * std::sin(2 * M_PI * t / 6) + std::cos(1.3 * t * t));
    return t_ts(v);
}

std::vector<std::string> log_lines(t_trend_invest& inv) {
    inv.get_log().flush();
    std::ifstream in(inv.get_log().file_name());
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        if (!line.empty()) lines.push_back(line);
    return lines;
}

// The components the log names as trend, 0-based.
std::vector<int> logged_trend(const std::vector<std::string>& lines) {
    std::vector<int> found;
    for (const std::string& l : lines)
        if (l.rfind("* Component #", 0) == 0) found.push_back(std::stoi(l.substr(13)) - 1);
    return found;
}

int tested_columns(const std::vector<std::string>& lines) {
    int n = 0;
    for (const std::string& l : lines) n += l[0] == '#';
    return n;
}

}  // namespace

TEST(TrendInvest, FreshObjectRunsLowFreqOnEigenvectors) {
    t_trend_invest inv(sample_series(40));
    EXPECT_STREQ(inv.get_name(), "Trend investigation");
    EXPECT_EQ(inv.get_method(), 2);
    EXPECT_EQ(inv.get_alpha(), 0.95);
    EXPECT_EQ(inv.get_maxroots(), 0);
    EXPECT_EQ(inv.get_omega(), 0.08);
    EXPECT_EQ(inv.get_C(), 0.1);
    EXPECT_EQ(inv.get_treatedvectors(), vk_eigenvectors);

    inv.set_L(10);
    inv.investigate();
    const std::vector<std::string> lines = log_lines(inv);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines[0], "*** Trend identification by LowFreq method, M=10, omega=0.08, C=0.1 ***");
    EXPECT_EQ(tested_columns(lines), 10);
    const std::vector<int> found = logged_trend(lines);
    EXPECT_FALSE(found.empty());
    EXPECT_EQ(inv.get_components(), found);

    t_ts trend;
    inv.get_svd()->reconstruct(found, trend);
    ASSERT_EQ(inv.get_result().size(), 40);
    for (int t = 0; t < 40; ++t) EXPECT_EQ(inv.get_result()[t], trend[t]);
}

TEST(TrendInvest, MethodsAndVectorKindsReachTheTests) {
    struct run_case {
        int method;
        vector_kind kind;
        std::string header;
    };
    for (const run_case& c : std::vector<run_case>{
             {0, vk_eigenvectors, "*** Trend identification by Kendall method, M=10, alpha=0.05 ***"},
             {1, vk_factor_vectors, "*** Trend identification by Roots method, M=31, maxroots=2, epsilon=0.0001 ***"},
             {1, vk_factor_vectors2, "*** Trend identification by Roots method, M=31, maxroots=2, epsilon=0.0001 ***"},
             {2, vk_reconstructed, "*** Trend identification by LowFreq method, M=40, omega=0.2, C=0.5 ***"},
         }) {
        t_trend_invest inv(sample_series(40));
        inv.set_alpha(0.05);
        inv.set_maxroots(2);
        inv.set_omega(0.2);
        inv.set_C(0.5);
        inv.set_method(c.method);
        inv.set_treatedvectors(c.kind);
        inv.set_L(10);
        inv.set_amount(6);
        inv.investigate();
        const std::vector<std::string> lines = log_lines(inv);
        EXPECT_EQ(lines[0], c.header);
        EXPECT_EQ(tested_columns(lines), 6) << c.header;
        EXPECT_EQ(inv.get_components(), logged_trend(lines)) << c.header;
        EXPECT_EQ(inv.get_reconstructed() != nullptr, c.kind == vk_reconstructed);
    }
}

TEST(TrendInvest, InvalidMethodThrowsBeforeAnyLogLine) {
    t_trend_invest inv(sample_series(40));
    inv.set_method(5);
    inv.set_L(10);
    try {
        inv.investigate();
        FAIL() << "no exception";
    } catch (const SSA_math_exception::invest_exception& e) {
        EXPECT_EQ(e.code, 0);
        EXPECT_EQ(e.message, "invalid method");
    }
    EXPECT_TRUE(inv.get_components().empty());
    EXPECT_TRUE(log_lines(inv).empty());
}

TEST(TrendInvest, InvalidTreatedVectorsShowABoxThenThrow) {
    struct bad_kind {
        int method;
        std::string box, message;
        bool roots_type;
    };
    for (const bad_kind& b : std::vector<bad_kind>{
             {0, "Error: invalid type of treated vectors in process_kendall_investigation().\nExiting.",
              "Error: invalid type of treated vectors in process_kendall_investigation()", false},
             {1, "Error: invalid type of treated vectors in process_roots_investigation().\nExiting.",
              "inside t_trend_invest::process_roots_investigation()", true},
             {2, "Error: invalid type of treated vectors in process_lowfreq_investigation().\nExiting.",
              "Error: invalid type of treated vectors in process_lowfreq_investigation()", false},
         }) {
        notification_recorder rec;
        t_trend_invest inv(sample_series(40));
        inv.set_method(b.method);
        inv.set_treatedvectors(static_cast<vector_kind>(7));
        inv.set_L(10);
        try {
            inv.investigate();
            ADD_FAILURE() << "no exception for method " << b.method;
        } catch (const SSA_math_exception::unknown_objects_for_identification& e) {
            EXPECT_TRUE(b.roots_type);
            EXPECT_EQ(e.message, b.message);
        } catch (const SSA_math_exception::ssa_exception& e) {
            EXPECT_FALSE(b.roots_type);
            EXPECT_EQ(e.message, b.message);
        }
        EXPECT_EQ(rec.texts, std::vector<std::string>{b.box});
        EXPECT_TRUE(log_lines(inv).empty());
    }
}

TEST(TrendInvest, AmountAboveLIsClippedWithOneBox) {
    for (vector_kind kind : {vk_eigenvectors, vk_reconstructed}) {
        notification_recorder rec;
        t_trend_invest inv(sample_series(40));
        inv.set_method(0);
        inv.set_treatedvectors(kind);
        inv.set_L(10);
        inv.set_amount(12);
        inv.investigate();
        ASSERT_EQ(rec.texts.size(), 1u) << kind;
        EXPECT_EQ(rec.texts[0],
                  "Attention! You have set amount of components to investigate greater than L. \nI use L instead of it.");
        EXPECT_EQ(inv.get_amount(), 10);
        EXPECT_EQ(tested_columns(log_lines(inv)), 10);
    }
}

TEST(TrendInvest, ReconstructedVectorsAreBuiltWhenIdentifiedDirectly) {
    t_trend_invest inv(sample_series(40));
    inv.set_treatedvectors(vk_reconstructed);
    inv.set_L(10);
    inv.set_amount(4);
    inv.identificate();
    ASSERT_NE(inv.get_reconstructed(), nullptr);
    EXPECT_EQ(log_lines(inv)[0], "*** Trend identification by LowFreq method, M=40, omega=0.08, C=0.1 ***");
}

TEST(TrendInvest, ResultCarriesTheSeriesTickMarks) {
    t_ts ts = sample_series(30);
    std::vector<std::string> ticks;
    for (int t = 0; t < 30; ++t) ticks.push_back("m" + std::to_string(t));
    ts.set_ticks(&ticks);
    t_trend_invest inv(ts);
    inv.set_L(8);
    inv.investigate();
    ASSERT_FALSE(inv.get_components().empty());
    ASSERT_NE(inv.get_result().ticks(), nullptr);
    EXPECT_EQ(*inv.get_result().ticks(), ticks);
}
