#include "reconstructed.h"

#include <algorithm>
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
    // The table by blocks of rows, each component's run within a block read in
    // one go: row by row would stream from every component at once. Both cores
    // share the first writes (page faults) of a long table.
    m_table.resize(N, n);
    constexpr int block = 512;
    split_in_two(N, static_cast<long long>(N) * n >= (1 << 18), [&](int begin, int end) {
        for (int t0 = begin; t0 < end; t0 += block) {
            const int t1 = std::min(end, t0 + block);
            for (int c = 0; c < n; ++c) {
                const double* column = m_components[static_cast<size_t>(c)].values().data();
                for (int t = t0; t < t1; ++t) m_table.row(t)[c] = column[t];
            }
            report_progress("reconstruction table", t1 - begin, end - begin);
        }
    });
}

void t_reconstructed_tss::get_values(int c, std::vector<double>& out) const {
    const series& v = m_components.at(static_cast<size_t>(c)).values();
    out.assign(v.data(), v.data() + v.size());
}
