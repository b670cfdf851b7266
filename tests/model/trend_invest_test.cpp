#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "fake_ui.h"
#include "invest/trend_invest.h"
#include "test_util.h"

namespace {

struct logged {
    std::string header;
    int tested = 0;
    std::vector<int> trend;  // 0-based
};

logged read_log(t_trend_invest& inv) {
    inv.get_log().flush();
    std::istringstream in(slurp(inv.get_log().file_name()));
    logged l;
    std::getline(in, l.header);
    for (std::string line; std::getline(in, line);) {
        l.tested += line.rfind("#", 0) == 0;
        if (line.rfind("* Component #", 0) == 0) l.trend.push_back(std::stoi(line.substr(13)) - 1);
    }
    return l;
}

}  // namespace

// M in the header shows which vectors were tested; the result is the logged trend with the tick marks.
TEST(TrendInvest, MethodsAndVectorKindsReachTheTestsAndTheResult) {
    t_ts ts = sample_series(40);
    std::vector<std::string> ticks;
    for (int t = 0; t < 40; ++t) ticks.push_back("m" + std::to_string(t));
    ts.set_ticks(&ticks);
    for (const auto& [method, kind, header] : std::vector<std::tuple<int, vector_kind, std::string>>{
             {0, vk_eigenvectors, "Kendall method, M=10, alpha=0.05 ***"},
             {1, vk_factor_vectors, "Roots method, M=31, maxroots=2, epsilon=0.0001 ***"},
             {2, vk_reconstructed, "LowFreq method, M=40, omega=0.2, C=0.5 ***"}}) {
        t_trend_invest inv(ts);
        inv.set_alpha(0.05), inv.set_maxroots(2), inv.set_omega(0.2), inv.set_C(0.5), inv.set_method(method);
        inv.set_treatedvectors(kind);
        inv.set_L(10);
        if (method) inv.set_amount(6);
        inv.investigate();
        const logged log = read_log(inv);
        EXPECT_EQ(log.header, "*** Trend identification by " + header);
        EXPECT_EQ(log.tested, method ? 6 : 10) << header;  // amount defaults to the count in use
        EXPECT_EQ(inv.get_components(), log.trend) << header;
        ASSERT_FALSE(log.trend.empty()) << header;
        t_ts trend;
        inv.get_svd()->reconstruct(log.trend, trend);
        EXPECT_EQ(values_of(inv.get_result()), values_of(trend)) << header;
        EXPECT_EQ(*inv.get_result().ticks(), ticks) << header;
    }
    // Identification alone builds the reconstructed components it needs.
    t_trend_invest alone(sample_series(40));
    alone.set_treatedvectors(vk_reconstructed);
    alone.set_L(10);
    alone.identificate();
    EXPECT_NE(read_log(alone).header.find("M=40"), std::string::npos);
}

TEST(TrendInvest, InvalidMethodOrVectorsThrowBeforeAnyLogLine) {
    t_trend_invest inv(sample_series(40));
    inv.set_method(5);
    inv.set_L(10);
    EXPECT_EQ(thrown<SSA_math_exception::invest_exception>([&] { inv.investigate(); }), "invalid method");
    EXPECT_TRUE(inv.get_components().empty());
    EXPECT_EQ(read_log(inv).header, "");

    // No box before the exception; Roots alone reports it as an unknown kind of objects.
    const std::string text = "Error: invalid type of treated vectors in process_";
    for (const auto& [method, message] : std::vector<std::tuple<int, std::string>>{
             {0, text + "kendall_investigation()"},
             {1, "inside t_trend_invest::process_roots_investigation()"}}) {
        notification_recorder rec;
        t_trend_invest bad(sample_series(40));
        bad.set_method(method);
        bad.set_treatedvectors(static_cast<vector_kind>(7));
        bad.set_L(10);
        try {
            bad.investigate();
            ADD_FAILURE() << "no exception for method " << method;
        } catch (const SSA_math_exception::ssa_exception& e) {
            EXPECT_EQ(e.message, message);
            EXPECT_EQ(dynamic_cast<const SSA_math_exception::unknown_objects_for_identification*>(&e) != nullptr,
                      method == 1);
        }
        EXPECT_TRUE(rec.texts.empty());
    }
}
