#include <gtest/gtest.h>

#include "core/ssa_exception.h"
#include "invest/summation_invest.h"

TEST(SummationInvest, RefusesTheInvestigationProtocol) {
    t_summation_invest inv(t_ts(std::vector<double>{1, 3, 2, 5, 4, 6, 8, 7}));
    EXPECT_STREQ(inv.get_name(), "Summation investigation");
    inv.set_L(4);
    inv.set_treatedvectors(vk_reconstructed);
    try {
        inv.investigate();
        ADD_FAILURE();
    } catch (const SSA_math_exception::ssa_exception& e) {
        EXPECT_EQ(e.message, "class \"t_summation_invest\" is not intended for 'investigate()' calling. "
                             "Read documentation on it.");
    }
    EXPECT_EQ(inv.get_reconstructed(), nullptr);  // refused before building anything
    EXPECT_THROW(inv.identificate(), SSA_math_exception::ssa_exception);
}
