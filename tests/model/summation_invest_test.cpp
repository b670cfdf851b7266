#include <gtest/gtest.h>

#include "core/ssa_exception.h"
#include "invest/summation_invest.h"

TEST(SummationInvest, RefusesTheInvestigationProtocol) {
    t_summation_invest inv(t_ts(std::vector<double>{1, 3, 2, 5, 4, 6, 8, 7}));
    inv.set_L(4);
    inv.set_treatedvectors(vk_reconstructed);
    EXPECT_THROW(inv.investigate(), SSA_math_exception::ssa_exception);
    EXPECT_EQ(inv.get_reconstructed(), nullptr);  // refused before building anything
    EXPECT_THROW(inv.identificate(), SSA_math_exception::ssa_exception);
}
