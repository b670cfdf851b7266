#include "forecast.h"

#include <lapacke.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <random>
#include <vector>

#include "core/fft.h"
#include "core/hooks.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "methods/polyroots.h"
#include "timeseries/tick_marks.h"

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

series signal_lrf(const matrix& U, const std::vector<int>& signal) {
    const int L = U.rows();
    double nu2 = 0;
    for (int c : signal) nu2 += U(L - 1, c) * U(L - 1, c);
    if (nu2 >= 1 - verticality_tolerance)
        throw SSA_math_exception::forecast_exception("No recurrent formula exists: the verticality coefficient is 1");
    const double scale = 1 / (1 - nu2);

    series lrf(L - 1);
    // Row by row: U is stored by rows, and each sum still runs over the components in order.
    for (int k = 0; k <= L - 2; ++k) {
        double sum = 0;
        for (int c : signal) sum += U(L - 1, c) * U(k, c);
        lrf[L - 2 - k] = sum * scale;
    }
    return lrf;
}

void t_RSSA_signal_forecast::make_lrf() {
    const SVD::t_svd* svd = m_signal_invest ? m_signal_invest->get_svd() : nullptr;
    if (!svd || m_signal_invest->get_signal().size() == 0)
        throw SSA_math_exception::internal_error(
            "Error during search of signal LRF for RSSA forecasting. Signal investigation hasn't processed.");
    m_lrf = signal_lrf(svd->eigenvectors(), m_signal_invest->get_signal_components());
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

namespace {

// y[N..N+M-1] by the recurrence over the L-1 values before each point.
void recurrent_continuation(const series& lrf, int N, series& y) {
    const int taps = lrf.size();
    for (int i = N; i < y.size(); ++i) {
        double sum = 0;
        for (int m = 0; m < taps; ++m) sum += lrf(m) * y(i - 1 - m);
        y[i] = sum;
        // Past the doubles' range every later value is inf or NaN.
        if (!std::isfinite(sum)) return;
    }
}

// y[N..N+M-1] from the lag vectors Z_j (j = K .. K+M+L-2) that follow the
// signal's last one: Z_j is the vector of the signal subspace whose first L-1
// coordinates are the projection of Z_(j-1)'s last L-1, U_s (I + pi pi^T /
// (1 - nu2)) U'^T y with U' the first L-1 rows and pi the last row of U_s; its
// last coordinate is then the formula's value at y. Point t is the mean of the
// L entries Z_j(t - j): every one lies on a new vector.
void vector_continuation(const matrix& U, const std::vector<int>& columns, int N, series& y) {
    const int L = U.rows(), r = static_cast<int>(columns.size()), M = y.size() - N;
    std::vector<double> pi(static_cast<size_t>(r)), c(static_cast<size_t>(r));
    double nu2 = 0;
    for (int a = 0; a < r; ++a) {
        pi[static_cast<size_t>(a)] = U(L - 1, columns[static_cast<size_t>(a)]);
        nu2 += pi[static_cast<size_t>(a)] * pi[static_cast<size_t>(a)];
    }
    const double scale = 1 / (1 - nu2);
    // The last L-1 coordinates of the previous vector; the signal's last lag vector first.
    std::vector<double> tail(y.data() + N - L + 1, y.data() + N), z(static_cast<size_t>(L));
    std::vector<double> sums(static_cast<size_t>(M), 0.0);
    const int vectors = M + L - 1;
    for (int v = 0; v < vectors; ++v) {
        // By rows: U is stored by rows.
        std::fill(c.begin(), c.end(), 0.0);
        for (int i = 0; i + 1 < L; ++i) {
            const double* row = U.row(i);
            const double y_i = tail[static_cast<size_t>(i)];
            for (int a = 0; a < r; ++a) c[static_cast<size_t>(a)] += row[columns[static_cast<size_t>(a)]] * y_i;
        }
        double pc = 0;
        for (int a = 0; a < r; ++a) pc += pi[static_cast<size_t>(a)] * c[static_cast<size_t>(a)];
        for (int a = 0; a < r; ++a) c[static_cast<size_t>(a)] += pi[static_cast<size_t>(a)] * pc * scale;
        for (int i = 0; i < L; ++i) {
            const double* row = U.row(i);
            double s = 0;
            for (int a = 0; a < r; ++a) s += row[columns[static_cast<size_t>(a)]] * c[static_cast<size_t>(a)];
            z[static_cast<size_t>(i)] = s;
        }
        // Vector v is Z_(K+v): its entry i lies on point N + v + i - (L-1).
        for (int i = std::max(0, L - 1 - v); i < L && v + i - (L - 1) < M; ++i)
            sums[static_cast<size_t>(v + i - (L - 1))] += z[static_cast<size_t>(i)];
        std::copy(z.begin() + 1, z.end(), tail.begin());
        if (v % 256 == 0) report_progress("vector forecast", v, vectors);
    }
    for (int t = 0; t < M; ++t) y[N + t] = sums[static_cast<size_t>(t)] / L;
}

}  // namespace

series continue_signal(forecast_method method, const series& signal, int points, const series& lrf, const matrix& U,
                       const std::vector<int>& columns) {
    const int N = signal.size();
    series y(N + points);
    for (int i = 0; i < N; ++i) y[i] = signal(i);
    if (method == forecast_method::vector)
        vector_continuation(U, columns, N, y);
    else
        recurrent_continuation(lrf, N, y);
    return y;
}

int first_unbounded(const series& y, int from) {
    for (int i = from; i < y.size(); ++i)
        if (!std::isfinite(y(i))) return i;
    return -1;
}

void t_RSSA_signal_forecast::make_forecast() {
    if (m_points < 1) throw SSA_math_exception::forecast_exception("Number of points to forecast is less than 1");
    // A failed run must not leave an earlier run's formula and values to be read as its own.
    m_lrf = series();
    m_forecast_ts = t_ts();
    m_lower = m_upper = series();
    process_signal();
    make_lrf();

    m_root_modulus = largest_root_modulus();

    const int N = m_source_ts.size(), M = m_points;
    series y = continue_signal(m_method, m_signal_invest->get_signal().values(), M, m_lrf,
                               m_signal_invest->get_svd()->eigenvectors(), m_signal_invest->get_signal_components());
    const int i = first_unbounded(y, N);
    if (i >= 0) {
        m_lrf = series();
        throw SSA_math_exception::forecast_exception(format_text(
            "The forecast leaves the range of doubles at point %d (forecast value %d of %d); the largest "
            "characteristic root has modulus %.10g",
            i + 1, i - N + 1, M, m_root_modulus));
    }
    m_forecast_ts = t_ts(y);
}

namespace {

// An index in 0..n-1, each equally likely, the same on every standard library
// (whose distributions may differ): the engine's low end is rejected.
int draw_index(std::mt19937_64& engine, int n) {
    const std::uint64_t range = static_cast<std::uint64_t>(n);
    const std::uint64_t reject_below = (0 - range) % range;
    for (;;) {
        const std::uint64_t x = engine();
        if (x >= reject_below) return static_cast<int>(x % range);
    }
}

// The quantile p of sorted values, linear between order statistics.
double quantile(const double* sorted, int n, double p) {
    const double h = (n - 1) * p;
    const int below = static_cast<int>(std::floor(h));
    if (below + 1 >= n) return sorted[n - 1];
    return sorted[below] + (h - below) * (sorted[below + 1] - sorted[below]);
}

// Every report of the work inside (the decompositions report their own
// stages) reaches the caller's hook as the bootstrap's progress, so a
// progress line stays on one stage and a throwing hook still cancels.
class bootstrap_progress {
public:
    explicit bootstrap_progress(long long total)
        : m_total(total), m_throttled(progress_hook_throttled()), m_outer(set_progress_hook({}, m_throttled)) {
        if (m_outer)
            set_progress_hook([this](const char*, long long, long long) { m_outer(stage, m_done, m_total); },
                              m_throttled);
    }
    ~bootstrap_progress() { set_progress_hook(std::move(m_outer), m_throttled); }
    bootstrap_progress(const bootstrap_progress&) = delete;
    bootstrap_progress& operator=(const bootstrap_progress&) = delete;

    void at(long long done) {
        m_done = done;
        report_progress(stage, done, m_total);
    }

private:
    static constexpr const char* stage = "bootstrap";
    long long m_done = 0, m_total;
    bool m_throttled;
    progress_hook m_outer;
};

}  // namespace

SVD::svd_options bootstrap_options(int L, int needed) {
    // Measured on co2 (decomposition and reconstruction): at L = 24 Jacobi
    // 0.5 ms, truncated 1.5, LAPACK 2.1; at L = 100 26, 2.9 and 15 ms; at
    // L = 234 truncated 2-5 ms, LAPACK 57. The truncated solver's work grows
    // with its k, so it stops paying where it is asked for many components.
    if (L <= 32) return SVD::svd_options(svd_solver::jacobi);
    if (4 * needed <= L) return SVD::svd_options(svd_solver::truncated, needed);
    return SVD::svd_options(svd_solver::fast);
}

void bootstrap_intervals(const series& x, const series& signal, const std::vector<int>& components, const matrix& U,
                         forecast_method method, int points, double level, int replicates, series& lower,
                         series& upper) {
    if (!(level > 0 && level < 1))
        throw SSA_math_exception::bad_input(format_text("the interval level %g is outside (0, 1)", level));
    if (replicates < min_replicates || replicates > max_replicates)
        throw SSA_math_exception::bad_input(
            format_text("%d bootstrap replicates: take %d to %d", replicates, min_replicates, max_replicates));
    const int N = x.size(), M = points, B = replicates, L = U.rows();
    if (static_cast<double>(M) * B > max_bootstrap_values)
        throw SSA_math_exception::bad_input(
            format_text("%d replicates of %d points are more than the bootstrap keeps (%.0f values)", B, M,
                        max_bootstrap_values));

    const int needed = components.empty() ? 1 : components.back() + 1;
    const SVD::svd_options options = bootstrap_options(L, needed);
    bootstrap_progress progress(B);
    // The signal took part of the noise: the residuals are widened by
    // sqrt(N / (N - df)), df the trace of the reconstruction as a linear map
    // of the series (P = U_s U_s^T; entry (i, j) of the trajectory matrix
    // lies on antidiagonal i + j, averaged over its length w).
    double df = 0;
    const int K = N - L + 1;
    for (int i = 0; i < L; ++i) {
        double p = 0;
        for (int c : components) p += U(i, c) * U(i, c);
        double inverse_lengths = 0;
        for (int j = 0; j < K; ++j) inverse_lengths += 1.0 / antidiagonal_length(i + j, L, K);
        df += p * inverse_lengths;
    }
    const double widen = df < N ? std::sqrt(N / (N - df)) : 1.0;
    std::vector<double> residual(static_cast<size_t>(N));
    for (int t = 0; t < N; ++t) residual[static_cast<size_t>(t)] = (x(t) - signal(t)) * widen;

    std::mt19937_64 engine(bootstrap_seed);
    std::vector<double> values(static_cast<size_t>(M) * B);  // point by point
    std::vector<double> xb(static_cast<size_t>(N));
    for (int b = 0; b < B; ++b) {
        progress.at(b);
        for (int t = 0; t < N; ++t)
            xb[static_cast<size_t>(t)] = signal(t) + residual[static_cast<size_t>(draw_index(engine, N))];
        const SVD::t_svd replicate(t_ts(xb), L, options);
        // The vector forecast divides by 1 - nu2 too: the same refusal where there is no formula.
        const series lrf = signal_lrf(replicate.eigenvectors(), components);
        const series y = continue_signal(method, replicate.reconstruct_values(components), M, lrf,
                                         replicate.eigenvectors(), components);
        const int unbounded = first_unbounded(y, N);
        if (unbounded >= 0)
            throw SSA_math_exception::forecast_exception(
                format_text("The forecast of bootstrap replicate %d leaves the range of doubles at point %d", b + 1,
                            unbounded + 1));
        // A prediction: the future point carries noise of its own.
        for (int j = 0; j < M; ++j)
            values[static_cast<size_t>(j) * B + b] = y(N + j) + residual[static_cast<size_t>(draw_index(engine, N))];
    }
    progress.at(B);

    series lo(M), hi(M);
    for (int j = 0; j < M; ++j) {
        double* v = values.data() + static_cast<size_t>(j) * B;
        std::sort(v, v + B);
        lo[j] = quantile(v, B, (1 - level) / 2);
        hi[j] = quantile(v, B, (1 + level) / 2);
    }
    lower = std::move(lo);
    upper = std::move(hi);
}

void t_RSSA_signal_forecast::make_intervals(double level, int replicates) {
    m_lower = m_upper = series();
    m_level = 0;
    m_replicates = 0;
    const SVD::t_svd* svd = m_signal_invest->get_svd();
    if (m_forecast_ts.size() == 0 || !svd) throw SSA_math_exception::internal_error("no forecast to give intervals for");
    bootstrap_intervals(m_source_ts.values(), m_signal_invest->get_signal().values(),
                        m_signal_invest->get_signal_components(), svd->eigenvectors(), m_method, m_points, level, replicates,
                        m_lower, m_upper);
    m_level = level;
    m_replicates = replicates;
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
    if (intervals) {
        if (!(level > 0 && level < 1)) return param_refusal{"intervals", format_text("%g is outside (0, 1)", level)};
        if (replicates < min_replicates || replicates > max_replicates)
            return param_refusal{"replicates", format_text("%d is outside %d .. %d", replicates, min_replicates,
                                                           max_replicates)};
        if (static_cast<double>(replicates) * forecast_points > max_bootstrap_values)
            return param_refusal{"replicates", format_text("%d times %d points is above the %.0f values the "
                                                           "bootstrap keeps",
                                                           replicates, forecast_points, max_bootstrap_values)};
    }
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
    f.set_method(p.method);
    f.make_forecast();
    if (p.intervals) f.make_intervals(p.level, p.replicates);
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
    if (f.get_method() == forecast_method::vector) s += "; vector forecast";
    if (f.get_lower().size() > 0)
        s += format_text("; %g%% intervals from %d bootstrap replicates", f.get_level() * 100, f.get_replicates());
    return s;
}

std::vector<std::string> forecast_ticks(const t_RSSA_signal_forecast& f, const t_ts& source) {
    const int N = source.size(), M = f.get_forecast_ts().size();
    if (!source.has_ticks() || !source.ticks() || M <= N) return {};
    std::vector<std::string> ticks(*source.ticks());
    ticks.resize(static_cast<size_t>(N));
    const std::vector<std::string> more = continued_ticks(ticks, M - N);
    ticks.insert(ticks.end(), more.begin(), more.end());
    return ticks;
}

t_ts forecast_series(const t_RSSA_signal_forecast& f, const t_ts& source, const std::string& title) {
    t_ts out = f.get_forecast_ts();
    const std::vector<std::string> ticks = forecast_ticks(f, source);
    if (!ticks.empty()) out.set_ticks(&ticks);
    out.set_title(title);
    return out;
}

cts_columns forecast_bounds(const t_RSSA_signal_forecast& f) {
    cts_columns bounds{f.get_source_ts().size(), {}};
    if (f.get_lower().size() > 0) bounds.columns = {&f.get_lower(), &f.get_upper()};
    return bounds;
}
