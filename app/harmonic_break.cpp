#include "harmonic_break.h"

#include "core/number_text.h"
#include "core/ssa_exception.h"

namespace {

const char* kind_name(vector_kind kind) {
    switch (kind) {
    case vk_eigenvectors:
        return "eigenvectors";
    case vk_factor_vectors:
        return "factorvectors";
    case vk_factor_vectors2:
        return "PCs";
    case vk_reconstructed:
        return "reconstructed";
    }
    throw SSA_math_exception::unknown_objects_for_identification("inside 'CMainFrame::OnBreak2HARM()'");
}

const char* method_name(int method) {
    switch (method) {
    case 0:
        return "Phi";
    case 1:
        return "CharRoots";
    case 2:
        return "Periodogr of reconstructed series";
    }
    throw SSA_math_exception::internal_error("unknow period est.method inside CMainFrame::OnBreak2HARM");
}

}  // namespace

bool harmonic_break_accepts(int method, vector_kind kind, ui_services& ui) {
    if (method == 2 && kind != vk_reconstructed) {
        ui.message_box(
            "\"Periodogramm on reconstructed series' method of esitmation works only on \"reconstructed\" components",
            "", notify_icon::information);
        return false;
    }
    return true;
}

harmonic_group break_to_harmonics(t_period_invest& inv, int style) {
    const SVD::t_svd* svd = inv.get_svd();
    if (!svd) throw SSA_math_exception::internal_error("no decomposition inside CMainFrame::OnBreak2HARM");
    harmonic_group group;
    group.style = style;
    group.title = "Harmonics, reconstructed by correspondent pairs of components. Form the reconstructed series.";
    group.description = format_text("N=%d, L=%d, treated vectors=", inv.get_ts()->size(), svd->L());
    group.description += kind_name(inv.get_treatedvectors());
    group.description += ", period est.method=";
    group.description += method_name(inv.get_estimation());
    group.description += ". C=contribution, P=period.";

    // A copy: estimating a period may build the reconstructed components, not change the pairs.
    const std::vector<Pair::t_pair<int>> pairs = inv.get_pairs();
    for (const auto& p : pairs) {
        const double cf = 100 * svd->contribution(p.first);
        const double cs = 100 * svd->contribution(p.second);
        if (cf < inv.min_percent || cs < inv.min_percent) continue;
        t_ts harmonic;
        if (p.first == p.second)
            svd->reconstruct({p.first}, harmonic);
        else
            svd->reconstruct({p.first, p.second}, harmonic);
        const double P = p.first == p.second ? 2.0 : inv.estimate_period(p.first, p.second);
        std::string title = format_text("(%d,%d)", p.first + 1, p.second + 1);
        if (style == harmonic_group::style_separate)
            title += format_text(", C(%.3f%%,%.3f%%), P=%.4f", cf, cs, P);
        else
            title += format_text(", C(%.1f%%,%.1f%%), P=%.3f", cf, cs, P);
        harmonic.set_title(title);
        // The series' dates on the harmonics' time axis.
        if (const std::vector<std::string>* ticks = inv.get_ts()->ticks()) harmonic.set_ticks(ticks);
        harmonic.set_has_ticks(inv.get_ts()->has_ticks());
        group.series.push_back(harmonic);
    }
    return group;
}
