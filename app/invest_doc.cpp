#include "app/invest_doc.h"

#include "app/text_format.h"
#include "core/ssa_exception.h"
#include "invest/constraint.h"

namespace {

std::string window_part(int N, const t_investigation& inv) {
    const int L = inv.get_svd() ? inv.get_svd()->L() : 0;
    return text_printf("N=%d, L=%d, K=%d", N, L, N - L + 1) + text_printf(", #C=%d", inv.get_amount());
}

const char* vectors_part(vector_kind k, const char* place) {
    switch (k) {
        case vk_eigenvectors: return " on eigenvectors";
        case vk_factor_vectors:
        case vk_factor_vectors2: return " on factorvectors";
        case vk_reconstructed: return " on reconstructed";
    }
    throw SSA_math_exception::unknown_objects_for_identification(place);
}

}  // namespace

std::string trend_header(int N, t_trend_invest& inv) {
    std::string s = window_part(N, inv);
    switch (inv.get_method()) {
        case t_trend_invest::kendall: s += text_printf(", Kendall(%G)", inv.get_alpha()); break;
        case t_trend_invest::roots: s += text_printf(", Roots(%d)", inv.get_maxroots()); break;
        case t_trend_invest::lowfreq: s += text_printf(", LowFreq(omega=%G,C=%G)", inv.get_omega(), inv.get_C()); break;
        default: throw SSA_math_exception::ssa_exception("invalid trend invest method");
    }
    s += vectors_part(inv.get_treatedvectors(), "inside TrendInvestView::OnDraw(...)");
    const std::vector<int>& c = inv.get_components();
    if (c.empty()) return s + ", no components found.";
    s += text_printf(", components included : %d", c[0] + 1);
    for (size_t k = 1; k < c.size(); ++k) s += text_printf(", %d", c[k] + 1);
    return s;
}

std::string period_header_line1(int N, t_period_invest& inv) {
    std::string s = window_part(N, inv);
    static const char* const aims[] = {", aim=periodocities", ", aim=periodicity_interval", ", aim=harm_interval"};
    if (inv.get_aim() >= 0 && inv.get_aim() <= 2) s += aims[inv.get_aim()];
    s += inv.get_pairing() == 0 ? text_printf(", F(%.2f)", inv.get_crit()) : std::string(", pairing_method=CR");
    s += vectors_part(inv.get_treatedvectors(), "inside PeriodInvestView::OnDraw(...)");
    if (const auto* vyg = dynamic_cast<const t_VYG_constraint*>(inv.get_constraint()))
        s += text_printf(", VYG(%.2f)", vyg->get_param());
    if (inv.get_aim() == 1 || inv.get_aim() == 2) {
        static const char* const est[] = {", est. by Phi", ", est. by CharRoots", ", est. by Periodogramm of initial ts"};
        if (inv.get_estimation() >= 0 && inv.get_estimation() <= 2) s += est[inv.get_estimation()];
        const Pair::t_pair<double> r = inv.get_period_range();
        s += text_printf(", inside [%.2f,%.2f]", r.first, r.second);
    }
    return s;
}

std::string period_header_line2(t_period_invest& inv) {
    std::string s = inv.get_approx_mode() == 0 ? text_printf("Min contrib.=%.2f", inv.min_percent)
                                               : text_printf("Max comp-nts amount=%d", inv.max_components);
    const auto& pairs = inv.get_pairs();
    if (pairs.empty()) return s + "No pairs found.";
    const SVD::t_svd* svd = inv.get_svd();
    bool first = true;
    for (const auto& p : pairs) {
        if (!svd || !(100 * svd->contribution(p.first) > inv.min_percent && 100 * svd->contribution(p.second) > inv.min_percent))
            continue;
        s += first ? ", components included : " : ", ";
        s += p.first == p.second ? text_printf("%d", p.first + 1) : text_printf("(%d,%d)", p.first + 1, p.second + 1);
        first = false;
    }
    return s;
}

int CSVDDoc::display_of(int part, bool logarithmed) {
    switch (part) {
        case 0: return logarithmed ? singular_values_log : singular_values;
        case 1: return eigenvectors;
        case 2: return factor_vectors;
        default: return reconstructed;
    }
}

void CInvestDoc::load(const std::string& path) {
    load_series(path);
    if (m_investigation) m_investigation->set_ts(ts);
}

void CInvestDoc::set_series(const t_ts& series) {
    ts = series;
    if (m_investigation) m_investigation->set_ts(ts);
}

void CInvestDoc::set_two_scales(int on) {
    m_two_scales = on;
    changed(change_style);
}

CTrendInvestDoc::CTrendInvestDoc() : CInvestDoc(doc_kind::trend_invest) {
    auto inv = std::make_unique<t_trend_invest>(ts);
    m_trend = inv.get();
    m_investigation = std::move(inv);
}

CPeriodInvestDoc::CPeriodInvestDoc() : CInvestDoc(doc_kind::period_invest) {
    auto inv = std::make_unique<t_period_invest>(ts);
    m_period = inv.get();
    m_investigation = std::move(inv);
}
