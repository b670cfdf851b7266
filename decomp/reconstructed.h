// The elementary reconstructed components of a decomposition.
#pragma once

#include <vector>

#include "core/matrix.h"
#include "decomp/svd.h"
#include "timeseries/ts.h"

class t_reconstructed_tss {
public:
    // Components 0 .. amount-1; throws ssa_exception when amount is outside 0..L
    // or above the components a truncated decomposition holds.
    t_reconstructed_tss(const SVD::t_svd* psvd, int amount);
    // One component per listed eigentriple, in list order.
    t_reconstructed_tss(const SVD::t_svd* psvd, const std::vector<int>& indices);
    t_reconstructed_tss(const t_reconstructed_tss&) = default;
    t_reconstructed_tss& operator=(const t_reconstructed_tss&) = default;
    virtual ~t_reconstructed_tss() = default;

    int amount() const { return m_table.cols(); }
    t_ts& component(int c) { return m_components[static_cast<size_t>(c)]; }
    const t_ts& component(int c) const { return m_components[static_cast<size_t>(c)]; }
    void get_component(int c, t_ts& out) const { out = m_components.at(static_cast<size_t>(c)); }
    void get_values(int c, std::vector<double>& out) const;
    double value(int c, int t) const { return m_table[Pair::t_pair<int>(t, c)]; }
    // Element (t, c) is value t of component c.
    const matrix& table() const { return m_table; }

private:
    void build(const SVD::t_svd* psvd, const std::vector<int>& indices);

    std::vector<t_ts> m_components;
    matrix m_table;
};
