#include "summ_interact_doc.h"

#include "core/number_text.h"
#include "core/ssa_exception.h"

CSummInteractDoc::~CSummInteractDoc() {
    if (m_summation) m_summation->remove_observer(this);
}

void CSummInteractDoc::notify_closing(const document& doc) {
    if (&doc != m_summation) return;
    m_summation = nullptr;
    m_tr_marks.clear();
    m_per_marks.clear();
    m_partners.clear();
    changed(change_content);
}

void CSummInteractDoc::init(CSummationInvestDoc* summation) {
    if (m_summation) m_summation->remove_observer(this);
    m_summation = summation;
    summation->add_observer(this);
    const int n = summation->components();
    m_tr_marks.assign(static_cast<size_t>(n), false);
    m_per_marks.assign(static_cast<size_t>(n), false);
    for (int k = 0; k < n; ++k) {
        m_tr_marks[static_cast<size_t>(k)] = summation->is_trend(k);
        m_per_marks[static_cast<size_t>(k)] = summation->is_harmonic(k);
    }
    reset_partners();
}

void CSummInteractDoc::reset_partners() {
    if (!m_summation) return;
    const int n = m_summation->components();
    m_partners.assign(static_cast<size_t>(n), {});
    // An unmarked row may still hold a VYG pair (a trend by the conditions): a
    // list kept for it would join the user's later pairing of the row.
    for (int k = 0; k < n && k < rows(); ++k) {
        if (!m_per_marks[static_cast<size_t>(k)]) continue;
        for (const t_pair_entry& e : m_summation->get_results().at(static_cast<size_t>(k)).pair_entries)
            if (e.fourier_significant && e.vyg_significant) m_partners[static_cast<size_t>(k)].push_back(e.partner);
    }
}

void CSummInteractDoc::click(int k, int column, app_ui& ui) {
    if (k < 0 || k >= rows()) return;
    if (column == col_tr) toggle_trend(k);
    if (column == col_per) click_per(k, ui);
}

void CSummInteractDoc::toggle_trend(int k) {
    m_tr_marks.at(static_cast<size_t>(k)) = !m_tr_marks.at(static_cast<size_t>(k));
    changed(change_content);
}

void CSummInteractDoc::click_per(int k, app_ui& ui) {
    const size_t uk = static_cast<size_t>(k);
    if (m_per_marks.at(uk)) {
        for (int p : m_partners[uk]) {
            // The list of k itself is emptied below, after the loop over it.
            if (p == k) continue;
            m_partners[static_cast<size_t>(p)].clear();
            m_per_marks[static_cast<size_t>(p)] = false;
        }
        m_partners[uk].clear();
        m_per_marks[uk] = false;
        changed(change_content);
        return;
    }
    CDlgSelectHarmPair dlg;
    dlg.first = k + 1;
    dlg.second = k + 1;
    dlg.range_min = 1;
    dlg.range_max = rows();
    if (!ui.run_dialog(dlg)) return;
    const int s = dlg.second - 1;
    // The spin keeps the choice within range; a typed number outside it changes nothing.
    if (s < 0 || s >= rows()) return;
    const size_t us = static_cast<size_t>(s);
    if (m_per_marks[us]) {
        ui.message_box("You can't include this component in the new pair,\n it's alreary in a pair.\n", "",
                       notify_icon::information);
        return;
    }
    m_per_marks[uk] = true;
    m_partners[uk].assign(1, s);
    if (s != k) {
        m_per_marks[us] = true;
        m_partners[us].assign(1, k);
    }
    changed(change_content);
}

std::string CSummInteractDoc::header_text(int column) {
    static const char* const headers[table_columns] = {"Component #", "TR", "PER", "Info", "Period"};
    return column >= 0 && column < table_columns ? headers[column] : "";
}

int CSummInteractDoc::column_width(int column) {
    static const int widths[table_columns] = {30, 40, 40, 80, 60};
    return column >= 0 && column < table_columns ? widths[column] : 0;
}

std::string CSummInteractDoc::cell_text(int k, int column) const {
    switch (column) {
    case col_component:
        return format_text("%u", static_cast<unsigned>(k + 1));
    case col_tr:
        return " ";
    case col_per: {
        const std::vector<int>& p = partners(k);
        return is_harmonic(k) && !p.empty() ? component_list(p) : "-";
    }
    case col_info:
        return "push";
    case col_period: {
        if (!m_summation) return "";
        const std::vector<int>& p = partners(k);
        if (is_harmonic(k) && !p.empty() && p.front() != k)
            return period_text(m_summation->pair_period(k, p.front()));
        return period_text(m_summation->component_period(k));
    }
    }
    return "";
}

std::string CSummInteractDoc::copy_text(int k, int column) const {
    if (column == col_tr) return is_trend(k) ? "TR" : "";
    if (column == col_per) return is_harmonic(k) && !partners(k).empty() ? component_list(partners(k)) : "";
    return cell_text(k, column);
}

rgb CSummInteractDoc::cell_colour(int k, int column) const {
    if (column != col_component || !m_summation) return colours::white;
    if (m_summation->is_trend(k)) return colours::trend;
    if (m_summation->is_harmonic(k)) return colours::harmonic;
    return colours::white;
}

component_info CSummInteractDoc::info(int k) const {
    if (!m_summation) throw SSA_math_exception::bad_input("the summation of this table is closed");
    t_summation_invest& inv = m_summation->get_investigation();
    const SVD::t_svd* svd = inv.get_svd();
    const t_reconstructed_tss* rec = inv.get_reconstructed();
    if (!svd || !rec) throw SSA_math_exception::internal_error("no summation results inside CSummInteractDoc::info(...)");
    component_info ci;
    ci.window_title = format_text("Component %d info", k + 1);
    ci.L = svd->L();
    const t_eigen_triple triple = svd->triple(k);
    ci.eigenvector = triple.eigenvector;
    ci.factor_vector = triple.factor_vector;
    ci.eigen_periodogram = vectors_periodogram({ci.eigenvector.data()}, static_cast<int>(ci.eigenvector.size()));

    ci.series = rec->component(k);
    std::string title = "Reconstructed from ET" + std::to_string(k + 1);
    if (is_harmonic(k) && !partners(k).empty() && partners(k).front() != k) {
        const int p = partners(k).front();
        ci.series.values().add(rec->component(p).values());
        title += "," + std::to_string(p + 1);
    }
    ci.series.set_title(title);
    ci.original = *inv.get_ts();
    ci.record = m_summation->get_record(k);
    return ci;
}
