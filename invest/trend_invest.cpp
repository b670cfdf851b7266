#include "trend_invest.h"

#include <functional>
#include <string>

#include "core/number_text.h"
#include "core/ssa_exception.h"

t_trend_invest::t_trend_invest(const t_ts& ts) : t_investigation("Trend investigation", ts) {}

void t_trend_invest::identificate() {
    // The tests append what they find: a rerun starts from nothing, as a fresh investigation does.
    m_components.clear();
    m_ranks.clear();
    clip_amount_to_L();
    switch (m_method) {
    case kendall:
        process_kendall_investigation();
        break;
    case roots:
        process_roots_investigation();
        break;
    case lowfreq:
        process_lowfreq_investigation();
        break;
    default:
        throw SSA_math_exception::invest_exception(0, "invalid method");
    }
}

void t_trend_invest::investigate() {
    t_investigation::investigate();
    make_result(*m_svd);
}

void t_trend_invest::make_result(const SVD::t_svd& svd) {
    t_trend_results::make_result(svd);
    // The series' own marks (its dates) go with the result, into File Save too.
    if (const std::vector<std::string>* ticks = m_ts->ticks()) m_result.set_ticks(ticks);
    m_result.set_has_ticks(m_ts->has_ticks());
}

const matrix* t_trend_invest::tested_vectors() {
    if (m_treated == vk_reconstructed && !m_reconstructed) make_reconstructed();
    return treated_matrix();
}

void t_trend_invest::collect(const std::function<void(const matrix&, int* found, int& count)>& test,
                             const std::function<void()>& refuse) {
    const matrix* m = tested_vectors();
    if (!m) refuse();
    std::vector<int> found(static_cast<size_t>(m_svd->L()));
    int count = 0;
    test(*m, found.data(), count);
    m_components.insert(m_components.end(), found.begin(), found.begin() + count);
}

void t_trend_invest::process_kendall_investigation() {
    collect([this](const matrix& m, int* found, int& count) { m.trend_Kendall(count, m_amount, found, m_alpha, &m_log); },
            [] {
                throw SSA_math_exception::internal_error(
                    "Error: invalid type of treated vectors in process_kendall_investigation()");
            });
}

void t_trend_invest::process_roots_investigation() {
    collect([this](const matrix& m, int* found, int& count) {
                m.trend_Roots(count, m_amount, found, m_maxroots, roots_epsilon, &m_log);
            },
            [] {
                throw SSA_math_exception::unknown_objects_for_identification(
                    "inside t_trend_invest::process_roots_investigation()");
            });
}

void t_trend_invest::process_lowfreq_investigation() {
    collect([this](const matrix& m, int* found, int& count) { m.trend_LowFreq(count, m_amount, found, m_omega, m_C, &m_log); },
            [] {
                throw SSA_math_exception::internal_error(
                    "Error: invalid type of treated vectors in process_lowfreq_investigation()");
            });
}

std::optional<param_refusal> trend_params::validate() const {
    if (!(kendall_threshold > 0 && kendall_threshold <= 1))
        return param_refusal{"alpha", format_text("%g is outside (0, 1]", kendall_threshold)};
    if (!(lowfreq_omega >= 0 && lowfreq_omega <= 0.5))
        return param_refusal{"omega", format_text("%g is outside [0, 0.5]", lowfreq_omega)};
    if (!(lowfreq_C >= 0 && lowfreq_C <= 1)) return param_refusal{"C", format_text("%g is outside [0, 1]", lowfreq_C)};
    return std::nullopt;
}

void trend_params::apply(t_trend_invest& inv, int N, int L) const {
    inv.set_method(trend_method);
    inv.set_treatedvectors(trend_vectors);
    inv.set_alpha(kendall_threshold);
    inv.set_maxroots(roots_in_percents ? roots_from_percent(trend_vectors, L, N, roots_percent,
                                                            "inside WinKelvaneDoc::start_investigation()")
                                       : roots_count);
    inv.set_omega(lowfreq_omega);
    inv.set_C(lowfreq_C);
}
