// Screening of periodogram maxima by FFT. The FFT gives every power |X_k|^2 of
// a column in n log n, but not with the bits of the direct sums the results
// are defined by (their angles carry their own constants and roundings). So
// the FFT only bounds where a maximum can be: each power comes with a bound on
// its distance to the direct value, and only the bins whose bound reaches the
// best lower bound are summed directly. The maximum over those is then the
// maximum over all bins, bit for bit.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <functional>
#include <vector>

#include "core/hooks.h"
#include "fourier_sums.h"

namespace fourier {

// Below this direct work (n times the number of frequencies) the direct sums
// alone are cheap, and short series keep them.
constexpr double screen_threshold = 2e6;

// More candidate bins than this and the direct sums over all bins are used.
constexpr int max_candidates = 64;

// One phase of a staged computation seen through one progress stage: a share
// done/of of the phase shows as offset + share * width out of total.
struct progress_span {
    const char* stage;
    long long offset, width, total;
    void report(long long done, long long of) const {
        if (stage) report_progress(stage, offset + (of > 0 ? width * done / of : width), total);
    }
};

// The listed columns of x (element (t, c) at x[t * stride + c]), one after another.
std::vector<double> gather_columns(const double* x, int n, std::size_t stride, const std::vector<int>& columns);

// The listed columns of column-major data, rows of them (element (t, i) at [t * size + i]).
std::vector<double> rows_of(const double* data, int n, const std::vector<int>& columns);

// Calls visit(j, power) for each column j = 0..m-1 of data (column-major, n per
// column) with power[k] = |X_k|^2 of its FFT for k = 0..nf-1 (bins above n/2 by
// symmetry). Large calls run on two threads; visit must touch only column j's state.
void power_spectra(const double* data, int n, int m, int nf, const std::function<void(int, const double*)>& visit,
                   const progress_span& progress);

// Bounds |C^2 + S^2 - power| where power is |X_k|^2 from power_spectra and C, S
// are the direct sums over t of x_t cos and x_t sin of the angle fl(fl(scale * t)
// * freqs[k]), computed in double, for the exact 2 pi t k / n of the FFT.
class power_error_bound {
public:
    power_error_bound(int n, double scale, const std::vector<double>& freqs);

    struct column_terms {
        double weighted;  // sum of t |x_t|, with the safety factor
        double rounding;  // the rounding of both sides, with the safety factor
    };
    // Infinite or NaN for a column holding any non-finite value.
    column_terms terms(const double* column) const;
    double operator()(const column_terms& c, int k, double power) const;

private:
    int m_n;
    std::vector<double> m_rate;  // phase error per unit of t at each bin
    double m_sum_rounding;       // times sum |x_t|
    double m_fft_rounding;       // times the 2-norm of x
};

struct bin_request {
    int k, j;          // bin and column
    double C = 0, S = 0;
};

// Sorts the requests by bin then column, drops repeats, and fills C and S with
// the direct sums over t = 0..n-1 in increasing order of the column j of data
// times cos and sin of angle(t, k): the bits of the plain loop. Each bin's
// trigonometric values are computed once for all its columns.
template <class Angle>
void bin_sums(const double* data, int n, std::vector<bin_request>& requests, Angle angle,
              const progress_span& progress) {
    auto key = [](const bin_request& a, const bin_request& b) { return a.k < b.k || (a.k == b.k && a.j < b.j); };
    std::sort(requests.begin(), requests.end(), key);
    requests.erase(std::unique(requests.begin(), requests.end(),
                               [](const bin_request& a, const bin_request& b) { return a.k == b.k && a.j == b.j; }),
                   requests.end());
    std::vector<std::size_t> starts;
    for (std::size_t r = 0; r < requests.size(); ++r)
        if (r == 0 || requests[r].k != requests[r - 1].k) starts.push_back(r);
    const int groups = static_cast<int>(starts.size());
    starts.push_back(requests.size());
    const std::size_t un = static_cast<std::size_t>(n);

    split_in_two(groups, groups >= 4 && static_cast<double>(groups) * n >= 2e5, [&](int g0, int g1) {
        std::vector<double> ct(un), st(un);
        for (int g = g0; g < g1; ++g) {
            const int k = requests[starts[static_cast<std::size_t>(g)]].k;
            for (int t = 0; t < n; ++t) {
                const double a = angle(t, k);
                ct[static_cast<std::size_t>(t)] = std::cos(a);
                st[static_cast<std::size_t>(t)] = std::sin(a);
            }
            std::size_t r = starts[static_cast<std::size_t>(g)];
            const std::size_t end = starts[static_cast<std::size_t>(g) + 1];
            // Two columns at a time: independent sums in flight, each in t order.
            for (; r + 2 <= end; r += 2) {
                const double* x0 = data + static_cast<std::size_t>(requests[r].j) * un;
                const double* x1 = data + static_cast<std::size_t>(requests[r + 1].j) * un;
                double c0 = 0, s0 = 0, c1 = 0, s1 = 0;
                for (std::size_t t = 0; t < un; ++t) {
                    c0 += x0[t] * ct[t];
                    s0 += x0[t] * st[t];
                    c1 += x1[t] * ct[t];
                    s1 += x1[t] * st[t];
                }
                requests[r].C = c0, requests[r].S = s0;
                requests[r + 1].C = c1, requests[r + 1].S = s1;
            }
            if (r < end) {
                const double* x0 = data + static_cast<std::size_t>(requests[r].j) * un;
                double c0 = 0, s0 = 0;
                for (std::size_t t = 0; t < un; ++t) {
                    c0 += x0[t] * ct[t];
                    s0 += x0[t] * st[t];
                }
                requests[r].C = c0, requests[r].S = s0;
            }
            progress.report(g - g0 + 1, g1 - g0);
        }
    });
    progress.report(1, 1);
}

// The request for bin k of column j among requests sorted by bin_sums; it must be there.
const bin_request& find_request(const std::vector<bin_request>& requests, int k, int j);

}  // namespace fourier
