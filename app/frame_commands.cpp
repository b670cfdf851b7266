#include "frame_commands.h"

#include <initializer_list>

namespace {

struct activation_row {
    std::initializer_list<doc_kind> views;  // the view kinds that are "a" view of this row
    view_command_states states;
};

constexpr bool on = true, off = false;

// In the order they are tested; a later match overrides an earlier one. The
// investigation views are time-series views too, so they match the first row
// before their own.
const activation_row activation_table[] = {
    {{doc_kind::time_series, doc_kind::forecast, doc_kind::trend_invest, doc_kind::period_invest,
      doc_kind::summation_invest},
     {on, off, off, off, off, off, off, off}},
    {{doc_kind::trend_invest}, {on, on, on, on, on, off, on, off}},
    {{doc_kind::period_invest}, {on, on, on, on, on, on, on, off}},
    {{doc_kind::summation_invest}, {on, on, off, off, off, off, off, off}},
    {{doc_kind::svd_display}, {off, off, off, off, off, off, off, off}},
    {{doc_kind::ts_group}, {on, off, off, off, off, off, off, off}},
    {{doc_kind::summ_interact}, {off, off, off, off, off, off, off, on}},
    {{doc_kind::decomp_result}, {off, off, off, off, off, off, off, off}},
    {{doc_kind::comp_info}, {off, off, off, off, off, off, on, off}},
};

}  // namespace

bool view_command_states::operator==(const view_command_states& o) const {
    return run == o.run && svd == o.svd && log == o.log && smooth == o.smooth && unsmooth == o.unsmooth &&
           harmonics == o.harmonics && two_scales == o.two_scales && final_decomposition == o.final_decomposition;
}

view_command_states states_after_activation(doc_kind view, const view_command_states& previous) {
    view_command_states s = previous;
    for (const activation_row& row : activation_table)
        for (doc_kind k : row.views)
            if (k == view) s = row.states;
    return s;
}

bool follows_active_view(command c) {
    switch (c) {
    case command::run_investigation:
    case command::display_svd:
    case command::investigation_log:
    case command::smooth:
    case command::unsmooth:
    case command::break_harmonics:
    case command::two_scales:
    case command::final_decomposition:
        return true;
    default:
        return false;
    }
}

bool enabled_in(command c, const view_command_states& s) {
    switch (c) {
    case command::run_investigation:
        return s.run;
    case command::display_svd:
        return s.svd;
    case command::investigation_log:
        return s.log;
    case command::smooth:
        return s.smooth;
    case command::unsmooth:
        return s.unsmooth;
    case command::break_harmonics:
        return s.harmonics;
    case command::two_scales:
        return s.two_scales;
    case command::final_decomposition:
        return s.final_decomposition;
    default:
        return false;
    }
}

bool saves_series(doc_kind view) {
    switch (view) {
    case doc_kind::time_series:
    case doc_kind::trend_invest:
    case doc_kind::period_invest:
    case doc_kind::forecast:
    case doc_kind::decomp_result:
        return true;
    default:
        return false;
    }
}
