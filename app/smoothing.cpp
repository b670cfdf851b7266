#include "smoothing.h"

#include "core/ssa_exception.h"

namespace {

const char* const smoothed_completely = "The reconstructed series was smoothed completely.";
const char* const unsmoothed_completely = "The reconstructed series was unsmoothed completely\nor has not been smoothed.";

// Moves the last entry of from to the end of to; false, after the message, when from is empty.
template <typename T>
bool move_last(std::vector<T>& from, std::vector<T>& to, const char* empty_message, ui_services& ui) {
    if (from.empty()) {
        ui.message_box(empty_message, "", notify_icon::information);
        return false;
    }
    to.push_back(from.back());
    from.pop_back();
    return true;
}

template <typename Invest>
void rebuild(Invest& inv) {
    const SVD::t_svd* svd = inv.get_svd();
    if (!svd) throw SSA_math_exception::internal_error("no decomposition to rebuild the smoothed series from");
    inv.make_result(*svd);
}

}  // namespace

bool trend_smoothing::smooth(t_trend_invest& inv, ui_services& ui) {
    if (!move_last(inv.get_components(), thrown_components, smoothed_completely, ui)) return false;
    rebuild(inv);
    return true;
}

bool trend_smoothing::unsmooth(t_trend_invest& inv, ui_services& ui) {
    if (!move_last(thrown_components, inv.get_components(), unsmoothed_completely, ui)) return false;
    rebuild(inv);
    return true;
}

bool period_smoothing::smooth(t_period_invest& inv, ui_services& ui) {
    if (!move_last(inv.get_pairs(), thrown_pairs, smoothed_completely, ui)) return false;
    rebuild(inv);
    return true;
}

bool period_smoothing::unsmooth(t_period_invest& inv, ui_services& ui) {
    if (!move_last(thrown_pairs, inv.get_pairs(), unsmoothed_completely, ui)) return false;
    rebuild(inv);
    return true;
}
