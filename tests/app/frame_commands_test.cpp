#include "app/frame_commands.h"

#include <gtest/gtest.h>

namespace {

view_command_states all(bool v) { return {v, v, v, v, v, v, v, v}; }

TEST(FrameCommands, EachViewKindSetsItsRowWhateverWasBefore) {
    // run svd log smooth unsmooth harmonics two-scales final
    const struct { doc_kind view; view_command_states expected; } rows[] = {
        {doc_kind::time_series, {1, 0, 0, 0, 0, 0, 0, 0}},
        {doc_kind::forecast, {1, 0, 0, 0, 0, 0, 0, 0}},
        {doc_kind::trend_invest, {1, 1, 1, 1, 1, 0, 1, 0}},
        {doc_kind::period_invest, {1, 1, 1, 1, 1, 1, 1, 0}},
        {doc_kind::summation_invest, {1, 1, 0, 0, 0, 0, 0, 0}},
        {doc_kind::svd_display, {0, 0, 0, 0, 0, 0, 0, 0}},
        {doc_kind::ts_group, {1, 0, 0, 0, 0, 0, 0, 0}},
        {doc_kind::summ_interact, {0, 0, 0, 0, 0, 0, 0, 1}},
        {doc_kind::decomp_result, {0, 0, 0, 0, 0, 0, 0, 0}},
        {doc_kind::comp_info, {0, 0, 0, 0, 0, 0, 1, 0}},
    };
    static_assert(sizeof rows / sizeof rows[0] == doc_kind_count, "every kind has a row");
    for (const auto& r : rows)
        for (const bool before : {false, true}) EXPECT_EQ(states_after_activation(r.view, all(before)), r.expected) << static_cast<int>(r.view);
}

}  // namespace
