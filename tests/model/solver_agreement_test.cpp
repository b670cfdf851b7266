// Only verdict lines compare: weak components' statistics differ in late digits between solvers.
#include <gtest/gtest.h>

#include <sstream>

#include "fake_ui.h"
#include "invest/constraint.h"
#include "invest/period_invest.h"
#include "invest/trend_invest.h"
#include "test_util.h"

namespace {

// The components found, then the log lines that start with '*'.
template <class Invest>
std::string verdicts(Invest& inv, const SVD::t_svd& svd, vector_kind kind) {
    inv.set_treatedvectors(kind);
    inv.set_svd(svd);
    inv.set_amount(svd.count());
    inv.investigate();
    std::string kept;
    for (int c : inv.get_components()) kept += std::to_string(c) + " ";
    std::istringstream log(slurp(inv.get_log().file_name()));
    for (std::string line; std::getline(log, line);)
        if (line.rfind("*", 0) == 0) kept += "\n" + line;
    return kept;
}

}  // namespace

TEST(SolverAgreement, InvestigationsSeeTheSameComponents) {
    notification_recorder quiet;
    std::mt19937 gen(21);
    std::normal_distribution<double> step(0, 1);
    double level = 50;
    const t_ts ts = sampled(300, [&](int t) { return (level += step(gen)) + 4 * std::sin(2 * M_PI * t / 9); });
    const SVD::t_svd reference(ts, 100, svd_solver::jacobi), fast(ts, 100, svd_solver::fast);
    const auto trend = [&](const SVD::t_svd& svd, int method, vector_kind kind) {
        t_trend_invest inv(ts);
        inv.set_method(method), inv.set_alpha(0.05), inv.set_maxroots(3), inv.set_omega(0.1), inv.set_C(0.5);
        return verdicts(inv, svd, kind);
    };
    const auto period = [&](const SVD::t_svd& svd, vector_kind kind) {
        t_period_invest inv(ts);
        const t_VYG_constraint vyg(0.6);
        inv.set_constraint(&vyg);
        return verdicts(inv, svd, kind);
    };
    for (vector_kind kind : {vk_eigenvectors, vk_factor_vectors, vk_reconstructed}) {
        for (int method : {0, 1, 2}) EXPECT_EQ(trend(reference, method, kind), trend(fast, method, kind)) << kind;
        EXPECT_EQ(period(reference, kind), period(fast, kind)) << kind;
    }
}
