#include "constraint.h"

#include "core/ssa_exception.h"

t_VYG_constraint::t_VYG_constraint(double p) : param(p) {
    if (p <= 0 || p >= 1) throw SSA_math_exception::bad_input("invalid param for VYG constraint");
}

std::vector<Pair::t_pair<int>> vyg_filter(const matrix& vectors, bool normalize,
                                          const std::vector<Pair::t_pair<int>>& pairs, double param, FileLog* log) {
    if (log) {
        *log << std::endl << std::endl;
        *log << "*** VYG constraint param = " << param << " ***\n";
        *log << "    to identify a pair of components as \"harmonic\" pair,\n";
        *log << "    its 'rhomax' value should be greater than this param value\n\n";
    }
    if (pairs.empty()) return {};
    // All pairs at once: the same values as pair_rhomax pair by pair, with shared work.
    const std::vector<double> rho = vectors.pairs_rhomax(pairs, normalize);
    std::vector<Pair::t_pair<int>> kept;
    for (size_t p = 0; p < pairs.size(); ++p) {
        const int a = pairs[p].first, b = pairs[p].second;
        if (log) *log << "rhomax for (" << a + 1 << "," << b + 1 << ") = " << rho[p] << std::endl;
        if (rho[p] > param) {
            kept.push_back(pairs[p]);
            if (log) *log << "* Pair of components (" << a + 1 << "," << b + 1 << ") identified as \"harmonic\" pair\n\n";
        }
    }
    return kept;
}
