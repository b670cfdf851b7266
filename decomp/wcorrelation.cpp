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
    const matrix& table = rec.table();
    const int N = table.rows();
    if (m < 0 || m > rec.amount())
        throw SSA_math_exception::bad_input("w-correlations of " + std::to_string(m) + " components out of " +
                                            std::to_string(rec.amount()));
    if (L < 1 || L > N)
        throw SSA_math_exception::bad_input("w-correlations: window length " + std::to_string(L) +
                                            " outside 1.." + std::to_string(N));
    const char* stage = "w-correlations";
    report_progress(stage, 0, m);
    std::vector<double> w(static_cast<size_t>(N));
    for (int t = 0; t < N; ++t) w[static_cast<size_t>(t)] = wcorrelation_weight(t, L, N);
    // The table is stored by rows; contiguous columns keep the inner products streaming.
    std::vector<std::vector<double>> x(static_cast<size_t>(m), std::vector<double>(static_cast<size_t>(N)));
    for (int t = 0; t < N; ++t) {
        const double* r = table.row(t);
        for (int c = 0; c < m; ++c) x[static_cast<size_t>(c)][static_cast<size_t>(t)] = r[c];
    }
    std::vector<double> norm(static_cast<size_t>(m));
    for (int c = 0; c < m; ++c) {
        const std::vector<double>& xc = x[static_cast<size_t>(c)];
        double s = 0;
        for (int t = 0; t < N; ++t) s += w[static_cast<size_t>(t)] * xc[static_cast<size_t>(t)] * xc[static_cast<size_t>(t)];
        norm[static_cast<size_t>(c)] = std::sqrt(s);
    }
    matrix rho(m, m);
    for (int i = 0; i < m; ++i) {
        rho.set(1.0, i, i);
        const std::vector<double>& xi = x[static_cast<size_t>(i)];
        for (int j = i + 1; j < m; ++j) {
            const std::vector<double>& xj = x[static_cast<size_t>(j)];
            const double d = norm[static_cast<size_t>(i)] * norm[static_cast<size_t>(j)];
            double r = 0;
            if (d > 0) {
                double s = 0;
                for (int t = 0; t < N; ++t)
                    s += w[static_cast<size_t>(t)] * xi[static_cast<size_t>(t)] * xj[static_cast<size_t>(t)];
                // Rounding may carry a product of parallel components just past 1.
                r = std::clamp(s / d, -1.0, 1.0);
            }
            rho.set(r, i, j);
            rho.set(r, j, i);
        }
        report_progress(stage, i + 1, m);
    }
    return rho;
}
