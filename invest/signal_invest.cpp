#include "signal_invest.h"

#include <algorithm>
#include <iterator>

#include "core/ssa_exception.h"

namespace {

// The period part filters its pairs by neither contribution nor count.
constexpr int no_approx_mode = -1;

void sort_unique(std::vector<int>& v) {
    std::sort(v.begin(), v.end());
    v.erase(std::unique(v.begin(), v.end()), v.end());
}

}  // namespace

t_signal_invest::t_signal_invest(const t_ts& ts)
    : t_investigation("Forecast investigation", ts),
      m_own_ts(ts),
      m_trend_part(std::make_unique<t_trend_invest>(m_own_ts)),
      m_harm_part(std::make_unique<t_period_invest>(m_own_ts)) {}

t_signal_invest::~t_signal_invest() = default;

void t_signal_invest::set_amount(int n) {
    t_investigation::set_amount(n);
    m_trend_part->set_amount(n);
    m_harm_part->set_amount(n);
}

int t_signal_invest::set_L(int L) {
    m_reconstructed.reset();
    m_svd.reset();
    m_trend_part->set_L(L);
    m_shares_trend_svd = true;
    m_harm_part->set_svd(*m_trend_part->get_svd());
    m_harm_part->set_amount(m_trend_part->get_amount());
    return m_trend_part->get_amount();
}

void t_signal_invest::set_svd(const SVD::t_svd& svd) {
    t_investigation::set_svd(svd);
    m_shares_trend_svd = false;
    m_trend_part->set_svd(svd);
    m_harm_part->set_svd(svd);
}

void t_signal_invest::set_svd_options(const SVD::svd_options& o) {
    t_investigation::set_svd_options(o);
    m_trend_part->set_svd_options(o);
    m_harm_part->set_svd_options(o);
}

void t_signal_invest::clear_decomposition() {
    t_investigation::clear_decomposition();
    m_trend_part->clear_decomposition();
    m_harm_part->clear_decomposition();
    m_shares_trend_svd = false;
}

SVD::t_svd* t_signal_invest::get_svd() { return m_shares_trend_svd ? m_trend_part->get_svd() : m_svd.get(); }

const SVD::t_svd* t_signal_invest::get_svd() const {
    return m_shares_trend_svd ? m_trend_part->get_svd() : m_svd.get();
}

t_reconstructed_tss* t_signal_invest::make_reconstructed() {
    m_reconstructed = std::make_unique<t_reconstructed_tss>(get_svd(), m_amount);
    return m_reconstructed.get();
}

void t_signal_invest::set_ts(const t_ts& ts) {
    t_investigation::set_ts(ts);
    m_own_ts = ts;
    m_trend_part->set_ts(ts);
    m_harm_part->set_ts(ts);
}

void t_signal_invest::identificate() {
    if (!m_use_trend && !m_use_harmonics)
        throw SSA_math_exception::invest_exception(2, "incorrect definition of signal");
    if (!get_svd()) throw SSA_math_exception::internal_error("no decomposition inside t_signal_invest::identificate()");

    std::vector<int> trend;
    if (m_use_trend) {
        m_trend_part->set_method(t_trend_invest::lowfreq);
        m_trend_part->set_C(m_trend_C);
        m_trend_part->set_omega(m_trend_omega);
        m_trend_part->investigate();
        trend = m_trend_part->get_components();
    }

    std::vector<int> harmonic;
    if (m_use_harmonics) {
        const t_VYG_constraint vyg(m_harm_rho);
        m_harm_part->set_aim(0);
        m_harm_part->set_constraint(&vyg);
        m_harm_part->set_crit(m_harm_fourier);
        m_harm_part->set_approx_mode(no_approx_mode);
        m_harm_part->investigate();
        for (const auto& p : m_harm_part->get_pairs()) {
            harmonic.push_back(p.first);
            harmonic.push_back(p.second);
        }
    }

    // The pairs come as found: a period-2 single may precede the pair that
    // holds it, and pairs chain, so the members are neither sorted nor
    // distinct. A component twice in the signal would count twice in it.
    sort_unique(trend);
    sort_unique(harmonic);
    m_signal_components.clear();
    std::set_union(trend.begin(), trend.end(), harmonic.begin(), harmonic.end(),
                   std::back_inserter(m_signal_components));
}

void t_signal_invest::investigate() {
    identificate();
    const SVD::t_svd& svd = *get_svd();
    if (m_signal_components.empty())
        m_signal = t_ts(series(svd.N()));
    else
        m_signal = t_ts(svd.reconstruct_values(m_signal_components));
}
