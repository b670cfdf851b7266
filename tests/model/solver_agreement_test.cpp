// The fast decomposition must lead every investigation to the verdicts of the
// reference (Jacobi) decomposition. The logged statistics of weak components
// may differ in their last printed digits: the Jacobi sweeps stop once the
// off-diagonal elements fall below 1e-10 of the norm over L, which leaves the
// eigenvectors of small, close eigenvalues that much less accurate.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>

#include "fake_ui.h"
#include "invest/constraint.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"

namespace {

// The header and identification lines of the log: everything but the statistics.
std::string log_verdicts(t_investigation& inv) {
    std::ifstream in(inv.get_log().file_name());
    std::string line, kept;
    while (std::getline(in, line))
        if (line.rfind("*", 0) == 0) kept += line + "\n";
    return kept;
}

t_ts co2() {
    t_ts ts;
    ts.load(std::string(KELVANE_DATA) + "/co2.dat");
    return ts;
}

t_ts random_walk() {
    std::mt19937 gen(21);
    std::normal_distribution<double> step(0, 1);
    std::vector<double> v(300);
    double level = 50;
    for (int t = 0; t < 300; ++t) v[t] = (level += step(gen)) + 4 * std::sin(2 * M_PI * t / 9);
    return t_ts(v);
}

struct outcome {
    std::vector<int> components;
    std::string log;
};

outcome trend_run(const t_ts& ts, const SVD::t_svd& svd, int method, vector_kind kind) {
    t_trend_invest inv(ts);
    inv.set_method(method);
    inv.set_alpha(0.05);
    inv.set_maxroots(3);
    inv.set_omega(0.1);
    inv.set_C(0.5);
    inv.set_treatedvectors(kind);
    inv.set_svd(svd);
    inv.set_amount(svd.count());
    inv.investigate();
    return {inv.get_components(), log_verdicts(inv)};
}

outcome period_run(const t_ts& ts, const SVD::t_svd& svd, vector_kind kind) {
    t_period_invest inv(ts);
    inv.set_treatedvectors(kind);
    inv.set_svd(svd);
    inv.set_amount(svd.count());
    const t_VYG_constraint vyg(&inv, 0.6);
    inv.set_constraint(&vyg);
    inv.investigate();
    return {inv.get_components(), log_verdicts(inv)};
}

}  // namespace

TEST(SolverAgreement, InvestigationsSeeTheSameComponents) {
    notification_recorder quiet;
    struct sample {
        t_ts ts;
        int L;
    };
    for (const sample& s : {sample{co2(), 24}, sample{random_walk(), 100}}) {
        const SVD::t_svd reference(s.ts, s.L, svd_solver::jacobi);
        const SVD::t_svd fast(s.ts, s.L, svd_solver::fast);
        for (vector_kind kind : {vk_eigenvectors, vk_factor_vectors, vk_reconstructed}) {
            SCOPED_TRACE("L=" + std::to_string(s.L) + " kind=" + std::to_string(kind));
            for (int method : {0, 1, 2}) {
                const outcome a = trend_run(s.ts, reference, method, kind), b = trend_run(s.ts, fast, method, kind);
                EXPECT_EQ(a.components, b.components) << "method " << method;
                EXPECT_EQ(a.log, b.log) << "method " << method;
            }
            const outcome a = period_run(s.ts, reference, kind), b = period_run(s.ts, fast, kind);
            EXPECT_EQ(a.components, b.components);
            EXPECT_EQ(a.log, b.log);
        }
    }
}
