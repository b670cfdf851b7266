#include "forecast.h"

#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "methods/polyroots.h"

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
    // The decomposition refuses a bad window as a broken invariant; say plainly what is wrong.
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
        throw SSA_math_exception::internal_error(
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

double t_RSSA_signal_forecast::largest_root_modulus() const {
    const int taps = m_lrf.size();
    double largest = 0;
    if (taps + 1 <= max_poly_coefficients) {
        // z^(L-1) = lrf[0] z^(L-2) + ... + lrf[L-2]
        std::vector<double> c(static_cast<size_t>(taps) + 1, 1.0);
        for (int m = 0; m < taps; ++m) c[static_cast<size_t>(m) + 1] = -m_lrf(m);
        std::vector<std::complex<double>> roots;
        polynomial_roots(c, min_poly_tolerance, roots);
        for (const auto& z : roots) largest = std::max(largest, std::abs(z));
        return largest;
    }
    // The shift M of the signal eigenvectors, U_down = U_up M in least squares.
    const SVD::t_svd& svd = *m_signal_invest->get_svd();
    const std::vector<int>& signal = m_signal_invest->get_signal_components();
    const int L = svd.L(), r = static_cast<int>(signal.size());
    if (r == 0) return 0;
    const matrix& U = svd.eigenvectors();
    std::vector<double> up(static_cast<size_t>(L - 1) * r), down(up.size());
    for (int j = 0; j < r; ++j)
        for (int i = 0; i + 1 < L; ++i) {
            up[static_cast<size_t>(j) * (L - 1) + i] = U(i, signal[static_cast<size_t>(j)]);
            down[static_cast<size_t>(j) * (L - 1) + i] = U(i + 1, signal[static_cast<size_t>(j)]);
        }
    if (LAPACKE_dgels(LAPACK_COL_MAJOR, 'N', L - 1, r, r, up.data(), L - 1, down.data(), L - 1) != 0) return NAN;
    std::vector<double> m(static_cast<size_t>(r) * r), wr(static_cast<size_t>(r)), wi(static_cast<size_t>(r));
    for (int j = 0; j < r; ++j)
        for (int i = 0; i < r; ++i) m[static_cast<size_t>(j) * r + i] = down[static_cast<size_t>(j) * (L - 1) + i];
    if (LAPACKE_dgeev(LAPACK_COL_MAJOR, 'N', 'N', r, m.data(), r, wr.data(), wi.data(), nullptr, 1, nullptr, 1) != 0)
        return NAN;
    for (int k = 0; k < r; ++k) largest = std::max(largest, std::hypot(wr[static_cast<size_t>(k)], wi[static_cast<size_t>(k)]));
    return largest;
}

void t_RSSA_signal_forecast::make_forecast() {
    if (m_points < 1) throw SSA_math_exception::forecast_exception("Number of points to forecast is less than 1");
    // A failed run must not leave an earlier run's formula and values to be read as its own.
    m_lrf = series();
    m_forecast_ts = t_ts();
    process_signal();
    make_lrf();

    m_root_modulus = largest_root_modulus();

    const series& signal = m_signal_invest->get_signal().values();
    const int N = m_source_ts.size(), M = m_points, taps = m_lrf.size();
    series y(N + M);
    for (int i = 0; i < N; ++i) y[i] = signal[i];
    for (int i = N; i < N + M; ++i) {
        double sum = 0;
        for (int m = 0; m < taps; ++m) sum += m_lrf(m) * y(i - 1 - m);
        // Past the doubles' range every later value is inf or NaN: no forecast at all.
        if (!std::isfinite(sum)) {
            m_lrf = series();
            throw SSA_math_exception::forecast_exception(format_text(
                "The forecast leaves the range of doubles at point %d (forecast value %d of %d); the largest "
                "characteristic root has modulus %.10g",
                i + 1, i - N + 1, M, m_root_modulus));
        }
        y[i] = sum;
    }
    m_forecast_ts = t_ts(y);
}

std::optional<param_refusal> forecast_params::validate() const {
    if (forecast_points < 1) return param_refusal{"points", format_text("%d must be at least 1", forecast_points)};
    if (forecast_points > max_forecast_points)
        return param_refusal{"points", format_text("%d is above the largest forecast of %d values", forecast_points,
                                                   max_forecast_points)};
    if (!(trend_C >= 0 && trend_C <= 1)) return param_refusal{"trend-C", format_text("%g is outside [0, 1]", trend_C)};
    if (!(trend_omega >= 0 && trend_omega <= 0.5))
        return param_refusal{"trend-omega", format_text("%g is outside [0, 0.5]", trend_omega)};
    if (harm_fourier < 1) return param_refusal{"fourier", format_text("%d must be at least 1", harm_fourier)};
    if (!(harm_rho > 0 && harm_rho < 1)) return param_refusal{"rho", format_text("%g is outside (0, 1)", harm_rho)};
    if (!forecast_trend && !forecast_harmonics)
        return param_refusal{"no-trend", "and --no-harmonics together leave no signal to forecast"};
    return std::nullopt;
}

void run_forecast(t_RSSA_signal_forecast& f, const forecast_params& p) {
    if (p.forecast_points < 1)
        throw SSA_math_exception::forecast_exception("Number of points to forecast is less than 1");
    t_signal_invest& signal = *f.get_signal_invest();
    signal.set_trend_C(p.trend_C);
    signal.set_trend_omega(p.trend_omega);
    signal.set_harm_fourier(p.harm_fourier);
    signal.set_harm_rho(p.harm_rho);
    signal.set_use_trend(p.forecast_trend);
    signal.set_use_harmonics(p.forecast_harmonics);
    f.set_points(p.forecast_points);
    f.set_window(p.forecast_L);
    f.make_forecast();
}

std::string forecast_header(int N, const t_signal_invest& inv) {
    const SVD::t_svd* svd = inv.get_svd();
    const int L = svd ? svd->L() : 0;
    std::string s = format_text("N=%d, L=%d, K=%d", N, L, N - L + 1);
    s += format_text(", #C=%d", inv.get_amount());
    // A part left out of the signal is left out of the line too.
    if (inv.get_use_trend())
        s += format_text(", TREND: LowFreq(omega=%G,C=%G)", inv.get_trend_omega(), inv.get_trend_C());
    if (inv.get_use_harmonics()) s += format_text(", HARM: F(%d), rho(%.2f)", inv.get_harm_fourier(), inv.get_harm_rho());
    s += " on eigenvectors";
    const std::vector<int>& c = inv.get_signal_components();
    if (c.empty()) return s + ", no signal components found.";
    s += format_text(", signal components: %d", c[0] + 1);
    for (size_t k = 1; k < c.size(); ++k) s += format_text(", %d", c[k] + 1);
    return s;
}

std::string root_text(const t_RSSA_signal_forecast& f) {
    return format_text("; largest root modulus %.10g", f.get_root_modulus()) +
           (f.grows() ? " (above 1: the forecast grows without bound)" : "");
}

std::string forecast_header_text(const t_RSSA_signal_forecast& f) {
    const t_signal_invest& signal = *f.get_signal_invest();
    std::string s = forecast_header(f.get_source_ts().size(), signal);
    if (!signal.get_signal_components().empty() && f.get_lrf().size() > 0) s += root_text(f);
    return s;
}
