#include "wcorrelation.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/hooks.h"
#include "core/ssa_exception.h"

int wcorrelation_weight(int t, int L, int N) {
    const int K = N - L + 1;
    return std::min(std::min(t + 1, N - t), std::min(L, K));
}

matrix wcorrelation(const t_reconstructed_tss& rec, int L, int m) {
    const int N = rec.table().rows();
    if (m < 0 || m > rec.amount())
        throw SSA_math_exception::bad_input("w-correlations of " + std::to_string(m) + " components out of " +
                                            std::to_string(rec.amount()));
    if (L < 1 || L > N)
        throw SSA_math_exception::bad_input("w-correlations: window length " + std::to_string(L) +
                                            " outside 1.." + std::to_string(N));
    // Each component's own values: the table is stored by rows.
    std::vector<const double*> xs(static_cast<size_t>(m));
    for (int c = 0; c < m; ++c) xs[static_cast<size_t>(c)] = rec.component(c).values().data();
    return wcorrelation(xs, N, L);
}

matrix wcorrelation(const std::vector<const double*>& xs, int N, int L) {
    const int m = static_cast<int>(xs.size());
    const char* stage = "w-correlations";
    report_progress(stage, 0, m);
    std::vector<double> w(static_cast<size_t>(N));
    for (int t = 0; t < N; ++t) w[static_cast<size_t>(t)] = wcorrelation_weight(t, L, N);
    const auto dot = [&](const double* a, const double* b) {
        double s = 0;
        for (int t = 0; t < N; ++t) s += w[static_cast<size_t>(t)] * a[t] * b[t];
        return s;
    };
    std::vector<double> norm(static_cast<size_t>(m));
    for (size_t c = 0; c < xs.size(); ++c) norm[c] = std::sqrt(dot(xs[c], xs[c]));
    matrix rho(m, m);
    for (int i = 0; i < m; ++i) {
        rho.set(1.0, i, i);
        for (int j = i + 1; j < m; ++j) {
            const double d = norm[static_cast<size_t>(i)] * norm[static_cast<size_t>(j)];
            // Rounding may carry a product of parallel components just past 1.
            const double r =
                d > 0 ? std::clamp(dot(xs[static_cast<size_t>(i)], xs[static_cast<size_t>(j)]) / d, -1.0, 1.0) : 0.0;
            rho.set(r, i, j);
            rho.set(r, j, i);
        }
        report_progress(stage, i + 1, m);
    }
    return rho;
}
