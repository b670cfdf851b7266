#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <fstream>
#include <tuple>

#include "core/ssa_exception.h"
#include "fake_ui.h"
#include "invest/trend_invest.h"

namespace {

t_ts sample_series(int n) {
    std::vector<double> v;
    for (int t = 0; t < n; ++t) v.push_back(10 + 0.5 * t + 3 * std::sin(2 * M_PI * t / 6) + std::cos(1.3 * t * t));
    return t_ts(v);
}

struct logged {
    std::string header;
    int tested = 0;
    std::vector<int> trend;  // 0-based
};

logged read_log(t_trend_invest& inv) {
    inv.get_log().flush();
    std::ifstream in(inv.get_log().file_name());
    logged l;
    std::getline(in, l.header);
    for (std::string line; std::getline(in, line);) {
        l.tested += line.rfind("#", 0) == 0;
        if (line.rfind("* Component #", 0) == 0) l.trend.push_back(std::stoi(line.substr(13)) - 1);
    }
    return l;
}

}  // namespace

// ctest runs tests in parallel processes sharing one directory, and each
// process numbers its log files from filelog0.log: every test here reads its
// log, so it works in a directory of its own.
class TrendInvest : public testing::Test {
protected:
    void SetUp() override {
        char cwd[4096];
        ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
        m_cwd = cwd;
        mkdir(m_dir.c_str(), 0700);
        ASSERT_EQ(chdir(m_dir.c_str()), 0);
    }
    void TearDown() override {
        EXPECT_EQ(chdir(m_cwd.c_str()), 0);
        EXPECT_EQ(rmdir(m_dir.c_str()), 0) << "a log file was left behind";
    }

private:
    std::string m_dir = testing::TempDir() + "trend_invest_" + std::to_string(getpid()), m_cwd;
};

TEST_F(TrendInvest, FreshObjectRunsLowFreqOnEigenvectors) {
    t_trend_invest inv(sample_series(40));
    EXPECT_STREQ(inv.get_name(), "Trend investigation");
    EXPECT_EQ(inv.get_alpha(), 0.95);
    EXPECT_EQ(inv.get_maxroots(), 0);
    inv.set_L(10);
    inv.investigate();
    const logged log = read_log(inv);
    EXPECT_EQ(log.header, "*** Trend identification by LowFreq method, M=10, omega=0.08, C=0.1 ***");
    EXPECT_EQ(log.tested, 10);
    ASSERT_FALSE(log.trend.empty());
    EXPECT_EQ(inv.get_components(), log.trend);

    t_ts trend;
    inv.get_svd()->reconstruct(log.trend, trend);
    ASSERT_EQ(inv.get_result().size(), 40);
    for (int t = 0; t < 40; ++t) EXPECT_EQ(inv.get_result()[t], trend[t]);
}

TEST_F(TrendInvest, MethodsAndVectorKindsReachTheTests) {
    const std::vector<std::tuple<int, vector_kind, std::string>> cases{
        {0, vk_eigenvectors, "Kendall method, M=10, alpha=0.05 ***"},
        {1, vk_factor_vectors, "Roots method, M=31, maxroots=2, epsilon=0.0001 ***"},
        {1, vk_factor_vectors2, "Roots method, M=31, maxroots=2, epsilon=0.0001 ***"},
        {2, vk_reconstructed, "LowFreq method, M=40, omega=0.2, C=0.5 ***"},
    };
    for (const auto& [method, kind, header] : cases) {
        t_trend_invest inv(sample_series(40));
        inv.set_alpha(0.05);
        inv.set_maxroots(2);
        inv.set_omega(0.2);
        inv.set_C(0.5);
        inv.set_method(method);
        inv.set_treatedvectors(kind);
        inv.set_L(10);
        inv.set_amount(6);
        inv.investigate();
        const logged log = read_log(inv);
        EXPECT_EQ(log.header, "*** Trend identification by " + header);
        EXPECT_EQ(log.tested, 6) << header;
        EXPECT_EQ(inv.get_components(), log.trend) << header;
    }
}

TEST_F(TrendInvest, InvalidMethodThrowsBeforeAnyLogLine) {
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
    EXPECT_EQ(read_log(inv).header, "");
}

TEST_F(TrendInvest, InvalidTreatedVectorsShowABoxThenThrow) {
    const std::string box = "Error: invalid type of treated vectors in process_";
    const std::vector<std::tuple<int, std::string, std::string>> cases{
        {0, "kendall_investigation().\nExiting.", box + "kendall_investigation()"},
        {1, "roots_investigation().\nExiting.", "inside t_trend_invest::process_roots_investigation()"},
        {2, "lowfreq_investigation().\nExiting.", box + "lowfreq_investigation()"},
    };
    for (const auto& [method, box_end, message] : cases) {
        notification_recorder rec;
        t_trend_invest inv(sample_series(40));
        inv.set_method(method);
        inv.set_treatedvectors(static_cast<vector_kind>(7));
        inv.set_L(10);
        try {
            inv.investigate();
            ADD_FAILURE() << "no exception for method " << method;
        } catch (const SSA_math_exception::ssa_exception& e) {
            EXPECT_EQ(e.message, message);
            // Roots alone reports it as an unknown kind of objects.
            const bool unknown = dynamic_cast<const SSA_math_exception::unknown_objects_for_identification*>(&e);
            EXPECT_EQ(unknown, method == 1);
        }
        EXPECT_EQ(rec.texts, std::vector<std::string>{box + box_end});
    }
}

TEST_F(TrendInvest, AmountAboveLIsClippedWithOneBox) {
    for (vector_kind kind : {vk_eigenvectors, vk_reconstructed}) {
        notification_recorder rec;
        t_trend_invest inv(sample_series(40));
        inv.set_method(0);
        inv.set_treatedvectors(kind);
        inv.set_L(10);
        inv.set_amount(12);
        inv.investigate();
        EXPECT_EQ(rec.texts, std::vector<std::string>{"Attention! You have set amount of components to investigate "
                                                      "greater than L. \nI use L instead of it."});
        EXPECT_EQ(read_log(inv).tested, 10);
    }
}

TEST_F(TrendInvest, IdentificationAloneBuildsTheReconstructedComponents) {
    t_trend_invest inv(sample_series(40));
    inv.set_treatedvectors(vk_reconstructed);
    inv.set_L(10);
    inv.set_amount(4);
    inv.identificate();
    EXPECT_NE(inv.get_reconstructed(), nullptr);
    EXPECT_EQ(read_log(inv).header, "*** Trend identification by LowFreq method, M=40, omega=0.08, C=0.1 ***");
}

TEST_F(TrendInvest, ResultCarriesTheSeriesTickMarks) {
    t_ts ts = sample_series(30);
    std::vector<std::string> ticks;
    for (int t = 0; t < 30; ++t) ticks.push_back("m" + std::to_string(t));
    ts.set_ticks(&ticks);
    t_trend_invest inv(ts);
    inv.set_L(8);
    inv.investigate();
    ASSERT_NE(inv.get_result().ticks(), nullptr);
    EXPECT_EQ(*inv.get_result().ticks(), ticks);
}
