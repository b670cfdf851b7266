#include "app/invest_doc.h"

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
