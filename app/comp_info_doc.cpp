#include "app/comp_info_doc.h"

#include "core/number_text.h"

CCompInfoDoc::CCompInfoDoc(component_info info) : document(doc_kind::comp_info), m_info(std::move(info)) {
    set_title(m_info.window_title);
}

void CCompInfoDoc::set_two_scales(bool on) {
    if (on == m_two_scales) return;
    m_two_scales = on;
    changed(change_style);
}

std::vector<std::string> CCompInfoDoc::text_lines() const {
    const t_component_results& r = m_info.record;
    const int N = m_info.original.size();
    std::vector<std::string> lines = {
        format_text("Component %i", r.component_no),
        format_text("N = %i, L = %i, K = %i", N, m_info.L, N - m_info.L + 1),
        "TREND:",
        format_text("    Kendall = %f", r.plevel),
        format_text("    Zeroes = %i", r.zeros),
        format_text("    HighFreq(%.3f) = %f", r.lf_omega, r.relation),
        "PERIOD:",
    };
    bool any_pair = false;
    for (const t_pair_entry& e : r.pair_entries) {
        if (e.fourier_significant) {
            lines.push_back(format_text("   Pair (%i,%i)", r.component_no, e.partner + 1));
            std::string fourier = format_text("      Fourier = %i at %f", e.fourier_value, e.peak_freq);
            if (e.peak_freq > 0) fourier += format_text(", period %.4g", 1 / e.peak_freq);
            lines.push_back(fourier);
            any_pair = true;
        }
        if (e.vyg_significant) lines.push_back(format_text("      VYG = %f", e.rho));
    }
    if (!any_pair) lines.push_back("    ---");
    return lines;
}
