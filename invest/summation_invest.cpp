#include "summation_invest.h"

#include <algorithm>
#include <cmath>

#include "core/hooks.h"
#include "core/number_text.h"
#include "core/split_in_two.h"
#include "core/ssa_exception.h"
#include "invest/grouping.h"

std::optional<param_refusal> summation_params::validate() const {
    if (!(summ_epsilon >= 0 && std::isfinite(summ_epsilon)))
        return param_refusal{"epsilon", format_text("%g must be a finite number of at least 0", summ_epsilon)};
    if (!(summ_omega >= 0 && summ_omega <= 0.5))
        return param_refusal{"omega", format_text("%g is outside [0, 0.5]", summ_omega)};
    if (summ_fourier < 0) return param_refusal{"fourier", format_text("%d is negative", summ_fourier)};
    if (!(summ_kendall > 0 && summ_kendall <= 1))
        return param_refusal{"kendall", format_text("%g is outside (0, 1]", summ_kendall)};
    if (!(summ_lowfreq_C >= 0 && summ_lowfreq_C <= 1))
        return param_refusal{"lowfreq-C", format_text("%g is outside [0, 1]", summ_lowfreq_C)};
    if (!(summ_vyg >= 0 && summ_vyg <= 1)) return param_refusal{"vyg", format_text("%g is outside [0, 1]", summ_vyg)};
    return std::nullopt;
}

t_summation_invest::t_summation_invest(const t_ts& ts) : t_investigation("Summation investigation", ts) {}

void t_summation_invest::investigate() {
    throw SSA_math_exception::internal_error(
        "class \"t_summation_invest\" is not intended for 'investigate()' calling. Read documentation on it.");
}

void t_summation_invest::identificate() {
    throw SSA_math_exception::internal_error(
        "class \"t_summation_invest\" is not intended for 'identificate()' calling. Read documentation on it.");
}

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

summation_table run_summation(t_summation_invest& inv, const summation_params& p) {
    summation_table table;
    const vector_kind kind = inv.get_treatedvectors();
    if (kind < vk_eigenvectors || kind > vk_reconstructed)
        throw SSA_math_exception::unknown_objects_for_identification(
            "inside \"CSummationInvestDoc::start_investigation()\"");
    const SVD::t_svd* svd = inv.get_svd();
    if (!svd)
        throw SSA_math_exception::internal_error("no decomposition inside \"CSummationInvestDoc::start_investigation()\"");
    if (kind == vk_reconstructed && !inv.get_reconstructed()) inv.make_reconstructed();
    const matrix& V = *inv.tested_vectors();
    const int n = std::max(0, inv.get_amount());
    // The Fourier distance is scaled by the window length whatever the vectors' length.
    const int L = svd->L();

    // The column statistics and the components' periods, on both cores for
    // long vectors; then the periodogram peaks and relations of all columns at once.
    std::vector<double> plevel(static_cast<size_t>(n)), periods(static_cast<size_t>(n));
    std::vector<int> zeros(static_cast<size_t>(n));
    split_in_two(n, static_cast<double>(V.rows()) * n >= 1e5, [&](int begin, int end) {
        for (int k = begin; k < end; ++k) {
            plevel[static_cast<size_t>(k)] = V.kendall_plevel(k);
            zeros[static_cast<size_t>(k)] = V.roots_amount(p.summ_epsilon, k);
            periods[static_cast<size_t>(k)] = eigenvector_period(*svd, k);
            report_progress("Kendall and Zeros tests", k + 1 - begin, end - begin);
        }
    });
    // The verdicts are those of the direct sums; on long vectors the relation
    // shown may come from the FFT, within its error bound.
    const std::vector<double> relation = V.lowfreq_relation_columns(p.summ_omega, n, p.summ_lowfreq_C);
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
        if (a <= p.summ_fourier) {
            ft.partner = k;
            ft.value = a;
            ft.significant = true;
            ft.shown = to_half;
        } else {
            const double distance = L * std::fabs(f - f_prev);
            ft.partner = k - 1;
            ft.value = static_cast<int>(distance);
            ft.significant = ft.value <= p.summ_fourier;
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
    table.periods = periods;
    for (int k = 0; k < n; ++k) {
        const size_t uk = static_cast<size_t>(k);
        std::array<std::string, 5> texts;
        record.component_no = k + 1;
        record.pair_entries.clear();

        record.plevel = plevel[uk];
        record.kendall_significant = plevel[uk] < p.summ_kendall;
        texts[0] = format_text("%f", plevel[uk]);

        record.zeros = zeros[uk];
        record.zeros_significant = zeros[uk] <= p.summ_roots_max;
        texts[1] = format_text("%d", zeros[uk]);

        record.lf_omega = p.summ_omega;
        record.relation = relation[uk];
        // The same side as the LowFreq trend test.
        record.lowfreq_significant = relation[uk] >= p.summ_lowfreq_C;
        texts[2] = format_text("%f", relation[uk]);

        if (k == 0) {
            entry.fourier_significant = false;
            texts[3] = "-";
        } else {
            const fourier_test& ft = fourier[uk];
            entry.peak_freq = ft.peak;
            entry.partner = ft.partner;
            entry.fourier_value = ft.value;
            entry.fourier_significant = ft.significant;
            texts[3] = format_text("F(%d,%d)=%f", ft.partner + 1, k + 1, ft.shown);
        }

        if (!entry.fourier_significant) {
            entry.vyg_significant = false;
            texts[4] = "-";
        } else {
            entry.rho = rho[static_cast<size_t>(rho_slot[uk])];
            entry.vyg_significant = entry.rho > p.summ_vyg;
            texts[4] = format_text("%f", entry.rho);
        }

        if (k > 0 && entry.fourier_significant && entry.vyg_significant && entry.partner != k) {
            t_pair_entry mirror;
            mirror.partner = k;
            mirror.fourier_significant = true;
            mirror.peak_freq = entry.peak_freq;
            mirror.fourier_value = entry.fourier_value;
            mirror.vyg_significant = true;
            mirror.rho = entry.rho;
            table.results[uk - 1].pair_entries.push_back(mirror);
        }

        record.pair_entries.push_back(entry);
        table.row_texts.push_back(texts);
        table.results.push_back(record);
    }
    return table;
}

bool summation_table::if_significant(int k, int type) const {
    const t_component_results& r = results.at(static_cast<size_t>(k));
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
    throw SSA_math_exception::internal_error(
        "unknown result type for component inside \"CSummationInvestDoc::if_significant(...)\"");
}

bool summation_table::is_trend(int k, std::uint8_t conditions) const {
    // The Fourier conditions read the VYG verdict: it holds only for pairs that passed Fourier.
    static const int type_of_method[4] = {res_kendall, res_zeros, res_lowfreq, res_vyg};
    for (int bit = 0; bit < 8; ++bit) {
        if (!(conditions & (1u << bit))) continue;
        const bool required = bit < 4;
        if (if_significant(k, type_of_method[bit % 4]) != required) return false;
    }
    return true;
}
