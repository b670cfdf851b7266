#include <gtest/gtest.h>

#include "core/ssa_exception.h"
#include "invest/grouping.h"
#include "invest/summation_invest.h"
#include "test_util.h"

TEST(SummationInvest, RefusesTheInvestigationProtocol) {
    t_summation_invest inv(t_ts(std::vector<double>{1, 3, 2, 5, 4, 6, 8, 7}));
    inv.set_L(4);
    inv.set_treatedvectors(vk_reconstructed);
    EXPECT_THROW(inv.investigate(), SSA_math_exception::ssa_exception);
    EXPECT_EQ(inv.get_reconstructed(), nullptr);  // refused before building anything
    EXPECT_THROW(inv.identificate(), SSA_math_exception::ssa_exception);
}

// Long components split between two threads: each row still holds its own component's statistics.
TEST(SummationInvest, RowsOfLongComponentsAreTheirOwn) {
    const auto v = with_noise(2400, 5, 0.5, [](int t) { return 0.01 * t + std::sin(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 29.5); });
    t_summation_invest inv{t_ts(v)};
    inv.set_L(1200);
    inv.set_amount(90);  // 1200 x 90 values: above the split
    const summation_table table = run_summation(inv, summation_params());
    const matrix& V = *inv.tested_vectors();
    ASSERT_EQ(table.results.size(), 90u);
    for (int k : {0, 1, 44, 45, 46, 89}) {
        EXPECT_EQ(table.results[static_cast<size_t>(k)].plevel, V.kendall_plevel(k)) << k;
        EXPECT_EQ(table.results[static_cast<size_t>(k)].zeros, V.roots_amount(summation_params().summ_epsilon, k)) << k;
        EXPECT_EQ(table.periods[static_cast<size_t>(k)], eigenvector_period(*inv.get_svd(), k)) << k;
    }
}
