#include "forecast.h"

#include <algorithm>
#include <vector>

#include "core/ssa_exception.h"

namespace {

// The eigenvectors are orthonormal only to rounding, about L * 2.2e-16 (2e-13
// at L = 1000), and nu2 carries that error: a 1 - nu2 this small is noise,
// and dividing by it would give coefficients of noise.
constexpr double verticality_tolerance = 1e-12;

}  // namespace

t_signal_forecast::t_signal_forecast(const t_ts& ts)
    : t_forecast(ts), m_signal_invest(std::make_unique<t_signal_invest>(ts)) {}

void t_signal_forecast::process_signal() {
    const int N = m_signal_invest->get_ts()->size();
    // The decomposition ends the program on a bad window; say so instead.
    if (m_window < 2 || m_window > N - 1)
        throw SSA_math_exception::out_of_range("incorrect window length inside t_signal_forecast::process_signal()");
    // Every component the new decomposition will hold; the old one, perhaps
    // truncated to fewer, must not refuse it.
    m_signal_invest->clear_decomposition();
    const int held = SVD::truncated_components(m_signal_invest->get_svd_options(), m_window);
    if (held < m_window && m_amount > held) throw amount_above_held(m_amount, held);
    m_signal_invest->set_amount(m_amount > 0 ? std::min(m_amount, held) : held);
    m_signal_invest->set_L(m_window);
    m_signal_invest->investigate();
}

void t_RSSA_signal_forecast::make_lrf() {
    const SVD::t_svd* svd = m_signal_invest ? m_signal_invest->get_svd() : nullptr;
    if (!svd || m_signal_invest->get_signal().size() == 0)
        throw SSA_math_exception::ssa_exception(
            "Error during search of signal LRF for RSSA forecasting. Signal investigation hasn't processed.");
    const int L = svd->L();
    const matrix& U = svd->eigenvectors();
    const std::vector<int>& signal = m_signal_invest->get_signal_components();

    double nu2 = 0;
    for (int c : signal) nu2 += U(L - 1, c) * U(L - 1, c);
    if (nu2 >= 1 - verticality_tolerance)
        throw SSA_math_exception::forecast_exception("No recurrent formula exists: the verticality coefficient is 1");
    const double scale = 1 / (1 - nu2);

    m_lrf = series(L - 1);
    // Row by row: U is stored by rows, and each sum still runs over the components in order.
    for (int k = 0; k <= L - 2; ++k) {
        double sum = 0;
        for (int c : signal) sum += U(L - 1, c) * U(k, c);
        m_lrf[L - 2 - k] = sum * scale;
    }
}

void t_RSSA_signal_forecast::make_forecast() {
    if (m_points < 1) throw SSA_math_exception::forecast_exception("Number of points to forecast is less than 1");
    // A failed run must not leave an earlier run's formula and values to be read as its own.
    m_lrf = series();
    m_forecast_ts = t_ts();
    process_signal();
    make_lrf();

    const series& signal = m_signal_invest->get_signal().values();
    const int N = m_source_ts.size(), M = m_points, taps = m_lrf.size();
    series y(N + M);
    for (int i = 0; i < N; ++i) y[i] = signal[i];
    for (int i = N; i < N + M; ++i) {
        double sum = 0;
        for (int m = 0; m < taps; ++m) sum += m_lrf(m) * y(i - 1 - m);
        y[i] = sum;
    }
    m_forecast_ts = t_ts(y);
}
