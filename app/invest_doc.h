// The documents of the investigations the Run sequence starts, and of the
// SVD window. Each keeps its own copy of the series and of the decomposition,
// so it outlives the time-series document it came from.
#pragma once

#include <memory>
#include <vector>

#include "app/harmonic_break.h"
#include "app/smoothing.h"
#include "app/ts_doc.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"

class CInvestDoc : public CWinKelvaneDoc {
public:
    // The investigation goes first: its log file is deleted with it.
    ~CInvestDoc() override { m_investigation.reset(); }

    // Reads the series and hands it to the investigation.
    virtual void load(const std::string& path);
    virtual void set_series(const t_ts& series);
    virtual t_investigation* get_investigation() { return m_investigation.get(); }
    // The reconstruction of the identified components, what File Save writes.
    virtual t_ts* result_series() = 0;
    // What the result is, for the name File Save proposes ("co2-trend.dat").
    virtual const char* result_name() const = 0;

    int get_two_scales() const { return m_two_scales; }
    // The views redraw with the new scaling.
    void set_two_scales(int on);

    int L = -1;  // the window length of the investigation

protected:
    explicit CInvestDoc(doc_kind kind) : CWinKelvaneDoc(kind) {}

    std::unique_ptr<t_investigation> m_investigation;

private:
    int m_two_scales = 0;
};

class CTrendInvestDoc : public CInvestDoc {
public:
    CTrendInvestDoc();
    t_trend_invest& invest() { return *m_trend; }
    t_ts* result_series() override { return &m_trend->get_result(); }
    const char* result_name() const override { return "trend"; }

    trend_smoothing smoothing;

private:
    t_trend_invest* m_trend;
};

class CPeriodInvestDoc : public CInvestDoc {
public:
    CPeriodInvestDoc();
    t_period_invest& invest() { return *m_period; }
    t_ts* result_series() override { return &m_period->get_result(); }
    const char* result_name() const override { return "periodic"; }

    period_smoothing smoothing;
    std::vector<harmonic_group> harmonic_breaks;

private:
    t_period_invest* m_period;
};

// "SVD [%s]": a part of a decomposition (svd_cache holds the copy shown).
class CSVDDoc : public CWinKelvaneDoc {
public:
    enum display { singular_values = 0, singular_values_log = 1, eigenvectors = 2, factor_vectors = 3,
                   reconstructed = 4 };

    CSVDDoc() : CWinKelvaneDoc(doc_kind::svd_display) {}

    // The kind for the part (0, 1, 2) and "logarithmed" of the SVD part dialog.
    static int display_of(int part, bool logarithmed);

    int display_kind = singular_values;
};

