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
    for (const auto& r : rows) {
        SCOPED_TRACE(static_cast<int>(r.view));
        EXPECT_EQ(states_after_activation(r.view, all(false)), r.expected);
        EXPECT_EQ(states_after_activation(r.view, all(true)), r.expected);
    }
}

TEST(FrameCommands, EachOfTheEightReadsItsOwnState) {
    const command eight[] = {command::run_investigation, command::display_svd, command::investigation_log,
                             command::smooth,           command::unsmooth,    command::break_harmonics,
                             command::two_scales,       command::final_decomposition};
    bool view_command_states::*const fields[] = {
        &view_command_states::run,       &view_command_states::svd,      &view_command_states::log,
        &view_command_states::smooth,    &view_command_states::unsmooth, &view_command_states::harmonics,
        &view_command_states::two_scales, &view_command_states::final_decomposition};
    for (int i = 0; i < 8; ++i) {
        view_command_states s;
        s.*fields[i] = true;
        EXPECT_TRUE(follows_active_view(eight[i]));
        for (int j = 0; j < 8; ++j) EXPECT_EQ(enabled_in(eight[j], s), i == j) << i << " " << j;
    }
    EXPECT_FALSE(follows_active_view(command::close_all));
}

}  // namespace
