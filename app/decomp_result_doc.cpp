#include "decomp_result_doc.h"

#include <utility>

#include "app/app_ui.h"
#include "app/save_names.h"
#include "app/summ_interact_doc.h"
#include "app/text_format.h"
#include "app/ts_doc.h"
#include "core/ssa_exception.h"

void CDecompResultDoc::compute() {
    if (!m_reconstructed || m_reconstructed->amount() == 0)
        throw SSA_math_exception::ssa_exception("no reconstructed components inside CDecompResultDoc::compute()");
    const int m = m_reconstructed->amount();
    const int N = m_reconstructed->component(0).size();

    m_trend = std::make_unique<t_ts>(m_reconstructed->component(0));
    for (int t = 0; t < N; ++t) (*m_trend)[t] = 0;
    // The series' own tick marks, so that a saved part keeps its dates.
    if (m_original && m_original->has_ticks() && m_original->ticks() && m_original->size() == N) {
        m_trend->set_ticks(m_original->ticks());
        m_trend->set_has_ticks(true);
    }
    m_periodic = std::make_unique<t_ts>(*m_trend);
    m_residual = std::make_unique<t_ts>(*m_trend);
    m_trend->set_title("Trend component of original series");
    m_periodic->set_title("Periodic component of original series");
    m_residual->set_title("Residual component of original series");

    m_classes.assign(static_cast<size_t>(m), cls_residual);
    for (int k : m_trend_list)
        if (k >= 0 && k < m) m_classes[static_cast<size_t>(k)] = cls_trend;
    for (int k : m_periodic_list)
        if (k >= 0 && k < m) {
            int& c = m_classes[static_cast<size_t>(k)];
            c = c == cls_trend ? cls_trend_and_periodic : cls_periodic;
        }

    for (int k = 0; k < m; ++k) {
        const t_ts& comp = m_reconstructed->component(k);
        const int c = m_classes[static_cast<size_t>(k)];
        for (int t = 0; t < N; ++t) {
            if (c == cls_trend || c == cls_trend_and_periodic) (*m_trend)[t] += comp[t];
            if (c == cls_trend_and_periodic || c == cls_periodic) (*m_periodic)[t] += comp[t];
            if (c == cls_residual) (*m_residual)[t] += comp[t];
        }
    }
}

void CDecompResultDoc::save_series(app_ui& ui) const {
    const char* const filter = "Data Files (*.dat;*.ts;*.cts)|*.dat;*.ts;*.cts|All Files (*.*)|*.*||";
    const struct {
        const char* caption;
        const char* suffix;
        const t_ts* series;
    } parts[3] = {{"Save trend", "trend", m_trend.get()},
                  {"Save sum of periodicals", "periodic", m_periodic.get()},
                  {"Save residual", "residual", m_residual.get()}};
    for (const auto& [caption, suffix, series] : parts) {
        if (!series) continue;
        const std::string path = ui.ask_save_file(caption, filter, derived_name(path_stem(data_file), suffix));
        if (path.empty()) continue;
        try {
            save_cts(path, *series);
        } catch (const SSA_math_exception::file_exception& e) {
            ui.message_box(file_failure_text(e), "Error", notify_icon::error);
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
    doc->set_trend_list(trend);
    doc->set_periodic_list(periodic);
    if (const t_reconstructed_tss* rec = inv.get_reconstructed()) doc->set_reconstructed(*rec);
    doc->compute();
    return doc;
}
