#include "summation_doc.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "invest/grouping.h"

CSummationInvestDoc::CSummationInvestDoc(const t_ts& ts)
    : document(doc_kind::summation_invest), m_investigation(std::make_unique<t_summation_invest>(ts)) {}

int CSummationInvestDoc::components() const { return std::max(0, m_investigation->get_amount()); }

void CSummationInvestDoc::start_investigation() {
    m_table = {};
    const SVD::t_svd* svd = m_investigation->get_svd();
    if (!svd)
        throw SSA_math_exception::internal_error("no decomposition inside \"CSummationInvestDoc::start_investigation()\"");
    m_investigation->set_L(svd->L());
    m_investigation->make_reconstructed();
    compute_tables();
}

void CSummationInvestDoc::compute_tables() {
    m_table = {};
    m_pair_periods.clear();
    m_table = run_summation(*m_investigation, m_params);
}

const std::string& CSummationInvestDoc::text(int k, int column) const {
    return m_table.row_texts.at(static_cast<size_t>(k)).at(static_cast<size_t>(column));
}

std::string CSummationInvestDoc::header_text(int column) {
    static const char* const headers[table_columns] = {"Component #", "TR:Kendall", "TR:Zeros", "TR:LowFreq",
                                                       "PER:Fourier", "PER:VYG",    "",         "Singular values",
                                                       "Period"};
    return column >= 0 && column < table_columns ? headers[column] : "-";
}

int CSummationInvestDoc::column_width(int column) {
    static const int widths[table_columns] = {30, 100, 60, 100, 130, 100, 5, 130, 60};
    return column >= 0 && column < table_columns ? widths[column] : 0;
}

std::string CSummationInvestDoc::cell_text(int k, int column) const {
    if (column == 0) return format_text("%u", static_cast<unsigned>(k + 1));
    if (column >= 1 && column <= 5) return text(k, column - 1);
    if (column == 6) return "";
    if (column == 7)
        return format_text("%f", std::sqrt(m_investigation->get_svd()->spectrum().at(static_cast<size_t>(k))));
    if (column == col_period) {
        // A row the tests paired shows the pair's period.
        if (is_harmonic(k))
            for (const t_pair_entry& e : m_table.results.at(static_cast<size_t>(k)).pair_entries)
                if (e.fourier_significant && e.vyg_significant && e.partner != k)
                    return period_text(pair_period(k, e.partner));
        return period_text(component_period(k));
    }
    return "-";
}

rgb CSummationInvestDoc::cell_colour(int k, int column) const {
    if (column == 0) {
        if (is_trend(k)) return colours::trend;
        if (is_harmonic(k)) return colours::harmonic;
        const bool partly = if_significant(k, res_kendall) || if_significant(k, res_zeros) ||
                            if_significant(k, res_lowfreq) || (k > 0 && if_significant(k, res_fourier)) ||
                            (k + 1 < components() && if_significant(k + 1, res_fourier));
        return partly ? colours::partly : colours::white;
    }
    if (column >= 1 && column <= 3) return if_significant(k, column - 1) ? colours::trend_test : colours::white;
    if (column == 4 || column == 5) return if_significant(k, column - 1) ? colours::harmonic_test : colours::white;
    return colours::white;
}

double CSummationInvestDoc::pair_period(int k, int p) const {
    const std::pair<int, int> key(std::min(k, p), std::max(k, p));
    const auto found = m_pair_periods.find(key);
    if (found != m_pair_periods.end()) return found->second;
    const SVD::t_svd* svd = m_investigation->get_svd();
    if (!svd) throw SSA_math_exception::internal_error("no decomposition for the period of a pair");
    const double period = key.first == key.second ? component_period(k) : ::pair_period(*svd, key.first, key.second);
    m_pair_periods.emplace(key, period);
    return period;
}
