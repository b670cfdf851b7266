#include "period_invest.h"

#include <algorithm>
#include <cmath>

#include "core/number_text.h"
#include "core/ssa_exception.h"

bool period_or_harmonic_in_range(double P, const Pair::t_pair<double>& range) {
    const int kmax = static_cast<int>(range.second / 2.0);
    for (int k = 1; k <= kmax; ++k)
        if (range.first / k < P && P < range.second / k) return true;
    return false;
}

bool period_in_range(double P, const Pair::t_pair<double>& range) { return range.first < P && P < range.second; }

t_period_invest::t_period_invest(const t_ts& ts) : t_investigation("Period investigation", ts) {}

t_period_invest::~t_period_invest() = default;

void t_period_invest::set_constraint(const t_prd_constraint* c) {
    m_constraint.reset();
    if (const auto* vyg = dynamic_cast<const t_VYG_constraint*>(c)) m_constraint = *vyg;
}

double t_period_invest::rhomax(int i, int j) {
    const matrix* m = vectors();
    if (!m) throw SSA_math_exception::unknown_objects_for_identification("inside 't_VYG_constraint::rhomax(...)'");
    // Reconstructed components are not unit vectors.
    return m->pair_rhomax(i, j, m_treated == vk_reconstructed);
}

const matrix* t_period_invest::vectors() {
    if (m_treated == vk_reconstructed && !m_reconstructed) make_reconstructed();
    return treated_matrix();
}

void t_period_invest::investigate() {
    t_investigation::investigate();
    make_result(*m_svd);
}

void t_period_invest::identificate() {
    clip_amount_to_L();
    switch (m_aim) {
    case 0:
        find_periodicities();
        break;
    case 1:
        find_periodicity_with_period();
        break;
    case 2:
        find_harmonics_with_period_from_interval();
        break;
    default:
        throw SSA_math_exception::internal_error("Invalid period investigation aim");
    }
    if (m_constraint) {
        const matrix* m = vectors();
        if (!m) throw SSA_math_exception::unknown_objects_for_identification("inside 't_VYG_constraint::rhomax(...)'");
        m_pairs = vyg_filter(*m, m_treated == vk_reconstructed, m_pairs, m_constraint->get_param(), &m_log);
    }
}

void t_period_invest::pair_components() {
    const matrix* m = vectors();
    if (!m)
        throw SSA_math_exception::unknown_objects_for_identification(
            "inside t_period_invest::find_harmonics_with_period_from_interval(...)");
    switch (m_pairing) {
    case 0:
        m->paring_byFourier(m_amount, m_pairs, m_crit, &m_log);
        break;
    case 1:
        throw SSA_math_exception::unrealized("identification by CharRoots inside class 'matrix'");
    default:
        throw SSA_math_exception::unknown_identification_method(
            "inside t_period_invest::find_harmonics_with_period_from_interval(...)");
    }
    if (m_approx_mode != 0) return;
    auto weak = [this](const Pair::t_pair<int>& p) {
        return !(min_percent < 100 * m_svd->contribution(p.first) &&
                 min_percent < 100 * m_svd->contribution(p.second));
    };
    m_pairs.erase(std::remove_if(m_pairs.begin(), m_pairs.end(), weak), m_pairs.end());
}

void t_period_invest::limit_count() {
    if (m_approx_mode != 1 || max_components == -1) return;
    const size_t limit = static_cast<size_t>(std::max(0, max_components / 2));
    if (limit < m_pairs.size()) m_pairs.erase(m_pairs.begin() + static_cast<std::ptrdiff_t>(limit), m_pairs.end());
}

void t_period_invest::keep_periods_if(bool (*keep)(double, const Pair::t_pair<double>&)) {
    std::vector<Pair::t_pair<int>> kept;
    for (const auto& p : m_pairs)
        if (keep(estimate_period(p.first, p.second), m_period_range)) kept.push_back(p);
    m_pairs = kept;
}

void t_period_invest::find_periodicities() {
    pair_components();
    limit_count();
}

void t_period_invest::find_periodicity_with_period() {
    pair_components();
    keep_periods_if(period_or_harmonic_in_range);
    limit_count();
}

void t_period_invest::find_harmonics_with_period_from_interval() {
    pair_components();
    keep_periods_if(period_in_range);
    limit_count();
}

double t_period_invest::estimate_period(int i, int j) {
    const matrix* m = vectors();
    if (!m) throw SSA_math_exception::unknown_objects_for_identification("inside t_period_invest::estimate_period(...)");
    // Said plainly rather than as an index out of range of the vectors.
    m_svd->check_component(i);
    m_svd->check_component(j);
    const bool normalize = m_treated == vk_reconstructed;
    switch (m_estimation) {
    case 0:
    case 1: {
        matrix ab(m->rows(), 2);
        for (int t = 0; t < m->rows(); ++t) {
            ab.set((*m)[Pair::t_pair<int>(t, i)], t, 0);
            ab.set((*m)[Pair::t_pair<int>(t, j)], t, 1);
        }
        return m_estimation == 0 ? ab.getperiod_angles(normalize) : ab.getperiod_charroots(normalize);
    }
    case 2:
        return m_svd->reconstruct_values({i, j}).getperiod_periodogr();
    }
    throw SSA_math_exception::internal_error("unknown period estimation method inside 't_period_invest::estimate_period(...)'");
}

void t_period_invest::make_result(const SVD::t_svd& svd) {
    m_components.clear();
    // A component can be both a period-2 single and a member of a pair, or sit
    // in a pair listed twice; reconstructing it twice would double its part.
    auto add = [this](int c) {
        if (std::find(m_components.begin(), m_components.end(), c) == m_components.end()) m_components.push_back(c);
    };
    for (const auto& p : m_pairs) {
        add(p.first);
        add(p.second);
    }
    t_results::make_result(svd);
    if (m_ts->ticks()) m_result.set_ticks(m_ts->ticks());
    m_result.set_has_ticks(m_ts->has_ticks());
}

std::optional<param_refusal> period_params::validate() const {
    if (period_goal < 0 || period_goal > 2) return param_refusal{"goal", format_text("%d is not one of 0, 1, 2", period_goal)};
    if (!(fourier_crit > 0 && std::isfinite(fourier_crit)))
        return param_refusal{"crit", format_text("%g must be above 0", fourier_crit)};
    if (vyg_on && !(vyg_rhomax > 0 && vyg_rhomax < 1))
        return param_refusal{"vyg", format_text("%g is outside (0, 1)", vyg_rhomax)};
    if (!(approx_percent >= 0 && approx_percent <= 100))
        return param_refusal{"min-percent", format_text("%g is outside 0..100", approx_percent)};
    if (approx_mode == t_period_invest::approx_by_count && approx_max_components < 1)
        return param_refusal{"max-components", format_text("%d must be at least 1", approx_max_components)};
    return std::nullopt;
}

void period_params::apply(t_period_invest& inv) const {
    inv.set_aim(period_goal);
    inv.set_pairing(period_pairing);
    inv.set_estimation(period_estimation);
    inv.set_treatedvectors(period_vectors);
    inv.set_crit(fourier_crit);
    if (vyg_on) {
        const t_VYG_constraint constraint(vyg_rhomax);
        inv.set_constraint(&constraint);
    } else {
        inv.set_constraint(nullptr);
    }
    inv.set_approx_mode(approx_mode);
    if (approx_mode == t_period_invest::approx_by_percent)
        inv.min_percent = approx_percent;
    else
        inv.max_components = approx_max_components;
    inv.set_period_range({period_min, period_max});
}
