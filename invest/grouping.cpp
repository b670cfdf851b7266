#include "grouping.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "core/number_text.h"
#include "core/two_pi.h"
#include "decomp/wcorrelation.h"
#include "methods/fourier_screen.h"

namespace {

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t");
    if (b == std::string::npos) return std::string();
    return s.substr(b, s.find_last_not_of(" \t") - b + 1);
}

// A whole text of digits as a component number, or -1.
int component_number(const std::string& s) {
    int v = -1;
    if (s.empty() || s[0] == '+' || s[0] == '-') return -1;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc() || end != s.data() + s.size()) return -1;
    return v;
}

std::vector<std::string> split(const std::string& text, char sep) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (;;) {
        const size_t at = text.find(sep, from);
        parts.push_back(text.substr(from, at == std::string::npos ? std::string::npos : at - from));
        if (at == std::string::npos) return parts;
        from = at + 1;
    }
}

}  // namespace

std::vector<int> parse_component_set(const std::string& text) {
    if (trimmed(text).empty()) throw grouping_error("the group lists no component");
    std::vector<int> out;
    for (const std::string& raw : split(text, ',')) {
        const std::string item = trimmed(raw);
        const size_t dash = item.find('-', 1);
        int first, last;
        if (dash == std::string::npos) {
            first = last = component_number(item);
        } else {
            first = component_number(trimmed(item.substr(0, dash)));
            last = component_number(trimmed(item.substr(dash + 1)));
        }
        if (first < 0 || last < 0)
            throw grouping_error("'" + item + "' is neither a component number nor a range a-b");
        if (first < 1) throw grouping_error("components are numbered from 1, not " + std::to_string(first));
        if (last < first) throw grouping_error("the range " + item + " runs backwards");
        for (int c = first; c <= last; ++c) {
            if (std::find(out.begin(), out.end(), c - 1) != out.end())
                throw grouping_error("component " + std::to_string(c) + " is listed twice");
            out.push_back(c - 1);
        }
    }
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<std::vector<int>> parse_component_sets(const std::string& text) {
    std::vector<component_group> groups;
    for (const std::string& part : split(text, ':')) groups.push_back({part, parse_component_set(part)});
    check_groups(groups, std::numeric_limits<int>::max());
    std::vector<std::vector<int>> sets;
    for (component_group& g : groups) sets.push_back(std::move(g.components));
    return sets;
}

void check_groups(const std::vector<component_group>& groups, int held) {
    for (size_t i = 0; i < groups.size(); ++i) {
        const component_group& g = groups[i];
        if (g.components.empty()) throw grouping_error("the group \"" + g.name + "\" lists no component");
        for (int c : g.components) {
            if (c < 0) throw grouping_error("components are numbered from 1, not " + std::to_string(c + 1));
            if (c >= held)
                throw grouping_error("component " + std::to_string(c + 1) + " of the group \"" + g.name +
                                     "\" is beyond the " + std::to_string(held) + " components in use");
            for (size_t j = 0; j < i; ++j) {
                const std::vector<int>& other = groups[j].components;
                if (std::find(other.begin(), other.end(), c) != other.end())
                    throw grouping_error("component " + std::to_string(c + 1) + " is in both groups \"" +
                                         groups[j].name + "\" and \"" + g.name + "\"");
            }
        }
    }
}

std::string component_set_text(const std::vector<int>& components) {
    std::string out;
    for (size_t i = 0; i < components.size();) {
        size_t j = i;
        while (j + 1 < components.size() && components[j + 1] == components[j] + 1) ++j;
        if (!out.empty()) out += ',';
        out += std::to_string(components[i] + 1);
        if (j > i) out += '-' + std::to_string(components[j] + 1);
        i = j + 1;
    }
    return out;
}

matrix series_wcorrelation(const std::vector<series>& xs, int L) {
    std::vector<const double*> values;
    for (const series& x : xs) values.push_back(x.data());
    return wcorrelation(values, xs.empty() ? 0 : xs[0].size(), L);
}

std::vector<std::vector<int>> cluster_components(const matrix& wcor, double threshold) {
    const int m = wcor.rows();
    std::vector<std::vector<int>> clusters;
    for (int i = 0; i < m; ++i) clusters.push_back({i});
    auto mean_distance = [&](const std::vector<int>& a, const std::vector<int>& b) {
        double s = 0;
        for (int i : a)
            for (int j : b) s += 1.0 - std::fabs(wcor[Pair::t_pair<int>(i, j)]);
        return s / (static_cast<double>(a.size()) * static_cast<double>(b.size()));
    };
    for (;;) {
        double best = std::numeric_limits<double>::infinity();
        size_t bi = 0, bj = 0;
        for (size_t i = 0; i < clusters.size(); ++i)
            for (size_t j = i + 1; j < clusters.size(); ++j) {
                const double d = mean_distance(clusters[i], clusters[j]);
                if (d < best) {
                    best = d;
                    bi = i;
                    bj = j;
                }
            }
        if (!(best <= threshold)) break;
        clusters[bi].insert(clusters[bi].end(), clusters[bj].begin(), clusters[bj].end());
        std::sort(clusters[bi].begin(), clusters[bi].end());
        clusters.erase(clusters.begin() + static_cast<std::ptrdiff_t>(bj));
    }
    std::sort(clusters.begin(), clusters.end());
    return clusters;
}

std::string clustering_rule(double threshold) {
    return format_text("average linkage on 1 - |w|, joined while at most %g", threshold);
}

double periodogram::dominant_period() const { return peak_frequency > 0 ? 1.0 / peak_frequency : 0.0; }

std::string period_text(double period) { return period > 0 ? format_text("%.2f", period) : "-"; }

namespace {

// The squared norm of the vectors' least-squares projections onto the cosine
// and sine of frequency f (0 < f < 1/2, where the two are independent), both
// taken about their means, so that an offset of the vector (an eigenvector
// next to a trend) does not pull the peak. At the grid frequencies it is
// twice their periodogram; for a pure sinusoid it reaches the vector's own
// squared norm at its frequency alone.
double fit_energy(const std::vector<const double*>& vectors, int n, double f) {
    const size_t m = vectors.size();
    std::vector<double> xc(m, 0.0), xs(m, 0.0), x1(m, 0.0);
    double cc = 0, ss = 0, cs = 0, c1 = 0, s1 = 0;
    const double w = two_pi * f, wc = std::cos(w), ws = std::sin(w);
    double c = 1, s = 0;
    for (int t = 0; t < n; ++t) {
        // The rotation drifts by a rounding a step: start it afresh now and then.
        if (t % 256 == 0) c = std::cos(w * t), s = std::sin(w * t);
        cc += c * c;
        ss += s * s;
        cs += c * s;
        c1 += c;
        s1 += s;
        for (size_t v = 0; v < m; ++v) {
            xc[v] += vectors[v][t] * c;
            xs[v] += vectors[v][t] * s;
            x1[v] += vectors[v][t];
        }
        const double next = c * wc - s * ws;
        s = s * wc + c * ws;
        c = next;
    }
    cc -= c1 * c1 / n;
    ss -= s1 * s1 / n;
    cs -= c1 * s1 / n;
    const double det = cc * ss - cs * cs;
    double e = 0;
    for (size_t v = 0; v < m; ++v) {
        const double a = xc[v] - x1[v] * c1 / n, b = xs[v] - x1[v] * s1 / n;
        e += (ss * a * a - 2 * cs * a * b + cc * b * b) / det;
    }
    return e;
}

// The maximum of fit_energy between two neighbouring grid frequencies, one of
// them the highest bin: inside one bin of a sinusoid's frequency the energy
// rises towards it, so Brent's search (parabolas through the best three
// points, golden sections where they do not shrink the bracket) finds it in
// about half a golden-section search's time.
double refined_peak(const std::vector<const double*>& vectors, int n, double at, double toward) {
    constexpr double g = 0.3819660112501051;  // 1 - 1/golden ratio
    const auto energy = [&](double f) { return fit_energy(vectors, n, f); };
    double a = std::min(at, toward), b = std::max(at, toward);
    // x the best point, w the second best, v the previous w.
    double x = a + g * (b - a), w = x, v = x;
    double ex = energy(x), ew = ex, ev = ex;
    double step = 0, last = 0;
    for (int i = 0; i < 100; ++i) {
        const double mid = (a + b) / 2;
        // The peak is flat to second order: closer than about 1e-9 of the
        // frequency the energies differ by less than their rounding.
        const double tol = 1e-10 * b / 2;
        if (std::fabs(x - mid) <= 2 * tol - (b - a) / 2) break;
        bool golden = true;
        if (std::fabs(last) > tol) {
            // The vertex of the parabola through (v, w, x).
            const double r = (x - w) * (ex - ev), q0 = (x - v) * (ex - ew);
            double p = (x - v) * q0 - (x - w) * r, q = 2 * (q0 - r);
            if (q > 0) p = -p;
            q = std::fabs(q);
            if (std::fabs(p) < std::fabs(q * last / 2) && p > q * (a - x) && p < q * (b - x)) {
                last = step;
                step = p / q;
                golden = false;
                if (x + step - a < 2 * tol || b - (x + step) < 2 * tol) step = mid > x ? tol : -tol;
            }
        }
        if (golden) {
            last = x >= mid ? a - x : b - x;
            step = g * last;
        }
        const double u = std::fabs(step) >= tol ? x + step : x + (step > 0 ? tol : -tol);
        const double eu = energy(u);
        if (eu >= ex) {
            (u >= x ? a : b) = x;
            v = w, ev = ew;
            w = x, ew = ex;
            x = u, ex = eu;
        } else {
            (u < x ? a : b) = u;
            if (eu >= ew || w == x) {
                v = w, ev = ew;
                w = u, ew = eu;
            } else if (eu >= ev || v == x || v == w) {
                v = u, ev = eu;
            }
        }
    }
    // Never worse than the grid, should the bin hold no single peak.
    return ex >= energy(at) ? x : at;
}

}  // namespace

periodogram vectors_periodogram(const std::vector<const double*>& vectors, int n) {
    periodogram p;
    const int nf = n / 2 + 1;
    for (int k = 0; k < nf; ++k) p.frequency.push_back(static_cast<double>(k) / n);
    p.power.assign(static_cast<size_t>(nf), 0.0);
    std::vector<double> data;
    for (const double* x : vectors) data.insert(data.end(), x, x + n);
    // By FFT: a long eigenvector (L = 5 10^4) must not cost n^2 sums per row of a table.
    fourier::power_spectra(data.data(), n, static_cast<int>(vectors.size()), nf,
                           [&](int, const double* power) {
                               for (int k = 0; k < nf; ++k) p.power[static_cast<size_t>(k)] += power[k] / n;
                           },
                           {nullptr, 0, 0, 0});
    const auto top = std::max_element(p.power.begin(), p.power.end());
    const int k = static_cast<int>(top - p.power.begin());
    if (k == 0) return p;
    p.peak_frequency = p.frequency[static_cast<size_t>(k)];
    const auto power_at = [&](int j) { return j < nf ? p.power[static_cast<size_t>(j)] : -1.0; };
    const int j = power_at(k - 1) > power_at(k + 1) ? k - 1 : k + 1;
    // Frequencies 0 and 1/2 have no sine: the fit degenerates next to them.
    if (j > 0 && 2 * j < n && 2 * k < n)
        p.peak_frequency = refined_peak(vectors, n, p.peak_frequency, static_cast<double>(j) / n);
    return p;
}

namespace {

std::vector<double> eigenvector(const SVD::t_svd& svd, int c) {
    svd.check_component(c);
    std::vector<double> v(static_cast<size_t>(svd.L()));
    for (int t = 0; t < svd.L(); ++t) v[static_cast<size_t>(t)] = svd.eigenvectors()[Pair::t_pair<int>(t, c)];
    return v;
}

}  // namespace

double eigenvector_period(const SVD::t_svd& svd, int c) {
    const std::vector<double> u = eigenvector(svd, c);
    return vectors_periodogram({u.data()}, svd.L()).dominant_period();
}

double pair_period(const SVD::t_svd& svd, int c, int d) {
    const std::vector<double> u = eigenvector(svd, c), v = eigenvector(svd, d);
    return vectors_periodogram({u.data(), v.data()}, svd.L()).dominant_period();
}

grouped_reconstruction reconstruct_groups(const t_ts& ts, const SVD::t_svd& svd,
                                          const std::vector<component_group>& groups) {
    check_groups(groups, svd.count());
    grouped_reconstruction out;
    series residual = ts.values();
    for (const component_group& g : groups) {
        t_ts part(svd.reconstruct_values(g.components));
        for (int t = 0; t < residual.size(); ++t) residual[t] -= part[t];
        if (ts.ticks()) part.set_ticks(ts.ticks());
        part.set_has_ticks(ts.has_ticks());
        part.set_title(g.name);
        out.groups.push_back(std::move(part));
    }
    out.residual = t_ts(residual);
    if (ts.ticks()) out.residual.set_ticks(ts.ticks());
    out.residual.set_has_ticks(ts.has_ticks());
    out.residual.set_title("residual");
    return out;
}
