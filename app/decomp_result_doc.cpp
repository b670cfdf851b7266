#include "decomp_result_doc.h"

#include <utility>

#include "app/app_ui.h"
#include "app/save_names.h"
#include "app/summ_interact_doc.h"
#include "core/number_text.h"
#include "app/ts_doc.h"
#include "core/ssa_exception.h"

void CDecompResultDoc::set_result(final_decomposition d) {
    m_result = std::move(d);
    m_trend_list = m_result.trend_list;
    m_periodic_list = m_result.periodic_list;
    m_computed = true;
}

void CDecompResultDoc::save_series(app_ui& ui) const {
    const char* const filter = "Data Files (*.dat;*.ts;*.cts)|*.dat;*.ts;*.cts|All Files (*.*)|*.*||";
    const struct {
        const char* caption;
        const char* suffix;
        const t_ts* series;
    } parts[3] = {{"Save trend", "trend", get_trend()},
                  {"Save sum of periodicals", "periodic", get_periodic()},
                  {"Save residual", "residual", get_residual()}};
    for (const auto& [caption, suffix, series] : parts) {
        if (!series) continue;
        const std::string path = ui.ask_save_file(caption, filter, derived_name(path_stem(data_file), suffix));
        if (path.empty()) continue;
        try {
            save_cts(path, *series);
        } catch (const SSA_math_exception::file_exception& e) {
            ui.message_box(e.text(), "Error", notify_icon::error);
        }
    }
}

std::string CDecompResultDoc::panel_title(int panel) const {
    switch (panel) {
    case 0:
        return "Original timeseries";
    case 1:
        return m_trend_list.empty() ? ""
                                    : "Trend component of original series, components " + component_list(m_trend_list);
    case 2:
        return m_periodic_list.empty()
                   ? ""
                   : "Periodical components of original series, components " + component_list(m_periodic_list);
    case 3:
        return "Residual series";
    }
    return "";
}

std::string CDecompResultDoc::overlaid_title() const {
    std::string title;
    if (!m_trend_list.empty()) title = "Trend components " + component_list(m_trend_list);
    if (!m_periodic_list.empty()) title += ".   Periodical components " + component_list(m_periodic_list);
    return title;
}

std::string CDecompResultDoc::legend(int entry) {
    static const char* const entries[4] = {"Original", "Trend", "Summ of periodical", "Residual"};
    return entry >= 0 && entry < 4 ? entries[entry] : "";
}

std::unique_ptr<CDecompResultDoc> make_final_decomposition(const CSummInteractDoc& interact) {
    CSummationInvestDoc& summation = *interact.get_summation();
    t_summation_invest& inv = summation.get_investigation();
    auto doc = std::make_unique<CDecompResultDoc>();
    std::vector<int> trend, periodic;
    for (int k = 0; k < summation.components(); ++k) {
        if (interact.is_trend(k)) trend.push_back(k);
        if (interact.is_harmonic(k)) periodic.push_back(k);
    }
    doc->set_original(*inv.get_ts());
    doc->data_file = summation.data_file;
    doc->set_result(decompose_final(inv.get_reconstructed(), trend, periodic, inv.get_ts()));
    return doc;
}
