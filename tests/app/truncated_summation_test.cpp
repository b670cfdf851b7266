// The summation on a truncated decomposition against the full one restricted to the same leading components.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/summation_doc.h"
#include "../model/test_util.h"

namespace {

// The tables of the first k components of svd.
std::unique_ptr<CSummationInvestDoc> summation(const t_ts& ts, const SVD::t_svd& svd, int k) {
    auto doc = std::make_unique<CSummationInvestDoc>(ts);
    t_summation_invest& inv = doc->get_investigation();
    inv.set_svd(svd);
    inv.set_amount(k);
    doc->compute_tables();
    return doc;
}

// Every verdict of every row (the final decomposition's lists follow from them).
void expect_same_verdicts(const CSummationInvestDoc& full, const CSummationInvestDoc& cut, const std::string& what) {
    ASSERT_EQ(full.components(), cut.components()) << what;
    int marked = 0;
    for (int k = 0; k < full.components(); ++k) {
        for (int type = res_kendall; type <= res_vyg; ++type)
            EXPECT_EQ(full.if_significant(k, type), cut.if_significant(k, type)) << what << " row " << k + 1 << " test " << type;
        EXPECT_EQ(std::pair(full.is_trend(k), full.is_harmonic(k)), std::pair(cut.is_trend(k), cut.is_harmonic(k))) << what << " row " << k + 1;
        marked += full.is_trend(k) || full.is_harmonic(k);
    }
    EXPECT_GT(marked, 0) << what << ": no verdict to compare";
}

}  // namespace

TEST(TruncatedSummation, GivesTheFullPathsVerdictsAmongTheFirstK) {
    const struct { std::string name; t_ts ts; int L, k; svd_solver solver; } cases[] = {
        {"co2.dat", data_series("co2.dat"), 120, 24, svd_solver::truncated},
        // Automatic with k given takes the truncated path for L above 2000.
        {"N = 5000", trend_harmonics_noise(5000), 2500, 50, svd_solver::automatic},
    };
    for (const auto& c : cases) {
        const int window = std::min(c.L, c.ts.size() / 2);
        const SVD::t_svd full(c.ts, window), cut(c.ts, window, SVD::svd_options(c.solver, c.k));
        ASSERT_TRUE(cut.truncated()) << c.name;
        auto a = summation(c.ts, full, c.k), b = summation(c.ts, cut, c.k);
        expect_same_verdicts(*a, *b, c.name);
    }
}
