// The signal of a series for the forecast: the LowFreq trend components and
// the members of the Fourier pairs that pass the VYG constraint, reconstructed
// together.
#pragma once

#include <memory>
#include <vector>

#include "invest/period_invest.h"
#include "invest/trend_invest.h"

class t_signal_invest : public t_investigation {
public:
    explicit t_signal_invest(const t_ts& ts);
    ~t_signal_invest() override;

    int get_harm_fourier() const { return m_harm_fourier; }
    void set_harm_fourier(int f) { m_harm_fourier = f; }
    double get_harm_rho() const { return m_harm_rho; }
    void set_harm_rho(double r) { m_harm_rho = r; }
    double get_trend_C() const { return m_trend_C; }
    void set_trend_C(double c) { m_trend_C = c; }
    double get_trend_omega() const { return m_trend_omega; }
    void set_trend_omega(double w) { m_trend_omega = w; }
    bool get_use_trend() const { return m_use_trend; }
    void set_use_trend(bool b) { m_use_trend = b; }
    bool get_use_harmonics() const { return m_use_harmonics; }
    void set_use_harmonics(bool b) { m_use_harmonics = b; }

    // 0-based, ascending, each component once.
    const std::vector<int>& get_signal_components() const { return m_signal_components; }
    const t_ts& get_signal() const { return m_signal; }
    t_trend_invest& get_trend_part() { return *m_trend_part; }
    t_period_invest& get_harm_part() { return *m_harm_part; }

    // Also on both parts.
    void set_amount(int n) override;
    // Decomposes through the trend part, whose decomposition becomes this
    // investigation's too; the period part gets a copy. Returns the trend part's amount.
    int set_L(int L) override;
    // An owned copy here and one for each part.
    void set_svd(const SVD::t_svd& svd) override;
    // Also on the trend part, which decomposes for this investigation.
    void set_svd_options(const SVD::svd_options& o) override;
    // Also on both parts.
    void clear_decomposition() override;
    SVD::t_svd* get_svd() override;
    const SVD::t_svd* get_svd() const override;
    t_reconstructed_tss* make_reconstructed() override;
    // identificate(), then the signal.
    void investigate() override;
    // The selection; invest_exception (code 2) "incorrect definition of signal"
    // when neither part is enabled.
    void identificate() override;
    void set_ts(const t_ts& ts) override;

private:
    int m_harm_fourier = 1;
    double m_harm_rho = 0.65;
    double m_trend_C = 0.1;
    double m_trend_omega = 0.08;
    t_ts m_own_ts;
    bool m_use_trend = true;
    bool m_use_harmonics = true;
    std::unique_ptr<t_trend_invest> m_trend_part;
    std::unique_ptr<t_period_invest> m_harm_part;
    // After set_L the decomposition is the trend part's, not m_svd.
    bool m_shares_trend_svd = false;
    std::vector<int> m_signal_components;
    t_ts m_signal;
};
