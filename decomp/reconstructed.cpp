#include "reconstructed.h"

#include <numeric>

#include "core/hooks.h"
#include "core/split_in_two.h"
#include "core/ssa_exception.h"
#include "group_reconstructor.h"

t_reconstructed_tss::t_reconstructed_tss(const SVD::t_svd* psvd, int amount) {
    if (amount > psvd->L() || amount < 0)
        throw SSA_math_exception::internal_error(
            "incorrect 'amount' parameter inside t_reconstructed_tss(const t_svd* psvd, int amount)");
    // A truncated decomposition holds fewer components than L.
    if (amount > 0) psvd->check_component(amount - 1);
    std::vector<int> indices(static_cast<size_t>(amount));
    std::iota(indices.begin(), indices.end(), 0);
    build(psvd, indices);
}

t_reconstructed_tss::t_reconstructed_tss(const SVD::t_svd* psvd, const std::vector<int>& indices) {
    build(psvd, indices);
}

void t_reconstructed_tss::build(const SVD::t_svd* psvd, const std::vector<int>& indices) {
    const int n = static_cast<int>(indices.size());
    const int N = psvd->N();
    m_components.assign(static_cast<size_t>(n), t_ts());
    // Long components two at a time, each on one core.
    const bool parallel = group_reconstructor::splits(N, n);
    split_in_two(n, parallel, [&](int begin, int end) {
        group_reconstructor rec(*psvd, parallel ? 1 : 2);
        long long done = 0;
        rec.set_tick([&] { report_progress("reconstruction", done, end - begin); });
        series g(N);
        for (int c = begin; c < end; ++c) {
            rec.reconstruct(&indices[static_cast<size_t>(c)], 1, g);
            m_components[static_cast<size_t>(c)] = g;
            done = c + 1 - begin;
            report_progress("reconstruction", done, end - begin);
        }
    });
    // Row by row from the components: a column at a time would touch every
    // row of the table once per component.
    m_table.resize(N, n);
    std::vector<const double*> columns(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c) columns[static_cast<size_t>(c)] = m_components[static_cast<size_t>(c)].values().data();
    for (int t = 0; t < N; ++t) {
        double* row = m_table.row(t);
        for (int c = 0; c < n; ++c) row[c] = columns[static_cast<size_t>(c)][t];
        report_progress("reconstruction table", t + 1, N);
    }
}

void t_reconstructed_tss::get_values(int c, std::vector<double>& out) const {
    const series& v = m_components.at(static_cast<size_t>(c)).values();
    out.assign(v.data(), v.data() + v.size());
}
