#include "summation_doc.h"

#include <algorithm>
#include <cmath>

#include "app/text_format.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "invest/grouping.h"

namespace {

// The Fourier test of one component against its predecessor, or alone at 0.5.
struct fourier_test {
    int partner = -1;
    double peak = -1.0;
    int value = -1;
    bool significant = false;
    double shown = 0;  // the untruncated distance of the text
};

}  // namespace

CSummationInvestDoc::CSummationInvestDoc(const t_ts& ts)
    : document(doc_kind::summation_invest), m_investigation(std::make_unique<t_summation_invest>(ts)) {}

int CSummationInvestDoc::components() const { return std::max(0, m_investigation->get_amount()); }

void CSummationInvestDoc::start_investigation() {
    m_results.clear();
    m_row_texts.clear();
    const SVD::t_svd* svd = m_investigation->get_svd();
    if (!svd)
        throw SSA_math_exception::ssa_exception("no decomposition inside \"CSummationInvestDoc::start_investigation()\"");
    m_investigation->set_L(svd->L());
    m_investigation->make_reconstructed();
    compute_tables();
}

void CSummationInvestDoc::compute_tables() {
    m_results.clear();
    m_row_texts.clear();
    m_periods.clear();
    m_pair_periods.clear();
    t_summation_invest& inv = *m_investigation;
    const vector_kind kind = inv.get_treatedvectors();
    if (kind < vk_eigenvectors || kind > vk_reconstructed)
        throw SSA_math_exception::unknown_objects_for_identification(
            "inside \"CSummationInvestDoc::start_investigation()\"");
    const SVD::t_svd* svd = inv.get_svd();
    if (!svd)
        throw SSA_math_exception::ssa_exception("no decomposition inside \"CSummationInvestDoc::start_investigation()\"");
    if (kind == vk_reconstructed && !inv.get_reconstructed()) inv.make_reconstructed();
    const matrix& V = *inv.tested_vectors();
    const int n = components();
    // The Fourier distance is scaled by the window length whatever the vectors' length.
    const int L = svd->L();

    // The column statistics, the periodogram peaks and relations of all columns at once.
    std::vector<double> plevel(static_cast<size_t>(n));
    std::vector<int> zeros(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k) {
        plevel[static_cast<size_t>(k)] = V.kendall_plevel(k);
        zeros[static_cast<size_t>(k)] = V.roots_amount(m_epsilon, k);
        report_progress("Kendall and Zeros tests", k + 1, n);
    }
    // The verdicts are those of the direct sums; on long vectors the relation
    // shown may come from the FFT, within its error bound.
    const std::vector<double> relation = V.lowfreq_relation_columns(m_omega, n, m_lowfreq_C);
    const std::vector<matrix::periodogram_peak> peaks = V.periodogram_max_columns(n);

    std::vector<fourier_test> fourier(static_cast<size_t>(n));
    std::vector<Pair::t_pair<int>> rho_pairs;
    std::vector<int> rho_slot(static_cast<size_t>(n), -1);
    double f_prev = n > 0 ? peaks[0].fmax : 0.0;
    for (int k = 1; k < n; ++k) {
        fourier_test& ft = fourier[static_cast<size_t>(k)];
        const double f = peaks[static_cast<size_t>(k)].fmax;
        ft.peak = f;
        const double to_half = L * std::fabs(f - 0.5);
        const int a = static_cast<int>(to_half);
        if (a <= m_fourier) {
            ft.partner = k;
            ft.value = a;
            ft.significant = true;
            ft.shown = to_half;
        } else {
            const double distance = L * std::fabs(f - f_prev);
            ft.partner = k - 1;
            ft.value = static_cast<int>(distance);
            ft.significant = ft.value <= m_fourier;
            ft.shown = distance;
        }
        f_prev = f;
        if (ft.significant) {
            rho_slot[static_cast<size_t>(k)] = static_cast<int>(rho_pairs.size());
            rho_pairs.emplace_back(k, ft.partner);
        }
    }
    const std::vector<double> rho = V.pairs_rhomax(rho_pairs, kind == vk_reconstructed);

    // One working record and entry carried across the components: an entry
    // keeps the fields its component's tests did not set.
    t_component_results record;
    t_pair_entry entry;
    for (int k = 0; k < n; ++k) {
        const size_t uk = static_cast<size_t>(k);
        std::array<std::string, 5> texts;
        m_periods.push_back(eigenvector_period(*svd, k));
        record.component_no = k + 1;
        record.pair_entries.clear();

        record.plevel = plevel[uk];
        record.kendall_significant = plevel[uk] < m_kendall;
        texts[0] = text_printf("%f", plevel[uk]);

        record.zeros = zeros[uk];
        record.zeros_significant = zeros[uk] <= m_roots_max;
        texts[1] = text_printf("%d", zeros[uk]);

        record.lf_omega = m_omega;
        record.relation = relation[uk];
        // The same side as the LowFreq trend test.
        record.lowfreq_significant = relation[uk] >= m_lowfreq_C;
        texts[2] = text_printf("%f", relation[uk]);

        if (k == 0) {
            entry.fourier_significant = false;
            texts[3] = "-";
        } else {
            const fourier_test& ft = fourier[uk];
            entry.peak_freq = ft.peak;
            entry.partner = ft.partner;
            entry.fourier_value = ft.value;
            entry.fourier_significant = ft.significant;
            texts[3] = text_printf("F(%d,%d)=%f", ft.partner + 1, k + 1, ft.shown);
        }

        if (!entry.fourier_significant) {
            entry.vyg_significant = false;
            texts[4] = "-";
        } else {
            entry.rho = rho[static_cast<size_t>(rho_slot[uk])];
            entry.vyg_significant = entry.rho > m_vyg;
            texts[4] = text_printf("%f", entry.rho);
        }

        if (k > 0 && entry.fourier_significant && entry.vyg_significant && entry.partner != k) {
            t_pair_entry mirror;
            mirror.partner = k;
            mirror.fourier_significant = true;
            mirror.peak_freq = entry.peak_freq;
            mirror.fourier_value = entry.fourier_value;
            mirror.vyg_significant = true;
            mirror.rho = entry.rho;
            m_results[uk - 1].pair_entries.push_back(mirror);
        }

        record.pair_entries.push_back(entry);
        m_row_texts.push_back(texts);
        m_results.push_back(record);
    }
}

const std::string& CSummationInvestDoc::text(int k, int column) const {
    return m_row_texts.at(static_cast<size_t>(k)).at(static_cast<size_t>(column));
}

bool CSummationInvestDoc::if_significant(int k, int type) const {
    const t_component_results& r = m_results.at(static_cast<size_t>(k));
    switch (type) {
    case res_kendall:
        return r.kendall_significant;
    case res_zeros:
        return r.zeros_significant;
    case res_lowfreq:
        return r.lowfreq_significant;
    case res_fourier:
        for (const t_pair_entry& e : r.pair_entries)
            if (e.fourier_significant) return true;
        return false;
    case res_vyg:
        for (const t_pair_entry& e : r.pair_entries)
            if (e.vyg_significant) return true;
        return false;
    }
    throw SSA_math_exception::ssa_exception(
        "unknown result type for component inside \"CSummationInvestDoc::if_significant(...)\"");
}

bool CSummationInvestDoc::is_trend(int k) const {
    // The Fourier conditions read the VYG verdict: it holds only for pairs that passed Fourier.
    static const int type_of_method[4] = {res_kendall, res_zeros, res_lowfreq, res_vyg};
    for (int bit = 0; bit < 8; ++bit) {
        if (!(m_conditions & (1u << bit))) continue;
        const bool required = bit < 4;
        if (if_significant(k, type_of_method[bit % 4]) != required) return false;
    }
    return true;
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
    if (column == 0) return text_printf("%u", static_cast<unsigned>(k + 1));
    if (column >= 1 && column <= 5) return text(k, column - 1);
    if (column == 6) return "";
    if (column == 7)
        return text_printf("%f", std::sqrt(m_investigation->get_svd()->spectrum().at(static_cast<size_t>(k))));
    if (column == col_period) {
        // A row the tests paired shows the pair's period.
        if (is_harmonic(k))
            for (const t_pair_entry& e : m_results.at(static_cast<size_t>(k)).pair_entries)
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
    if (!svd) throw SSA_math_exception::ssa_exception("no decomposition for the period of a pair");
    const double period = key.first == key.second ? component_period(k) : ::pair_period(*svd, key.first, key.second);
    m_pair_periods.emplace(key, period);
    return period;
}

std::string CSummationInvestDoc::period_text(double period) {
    return period > 0 ? text_printf("%.2f", period) : "-";
}
