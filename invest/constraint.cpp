#include "constraint.h"

#include "core/ssa_exception.h"
#include "period_invest.h"

t_VYG_constraint::t_VYG_constraint(t_period_invest* i, double p) : t_prd_constraint(i), param(p) {
    if (p <= 0 || p >= 1) throw SSA_math_exception::ssa_exception("invalid param for VYG constraint");
}

t_VYG_constraint::t_VYG_constraint(t_period_invest* i, const t_VYG_constraint& other)
    : t_prd_constraint(i), param(other.param) {}

const matrix& t_VYG_constraint::treated_vectors(bool& normalize) {
    normalize = false;
    switch (invest->get_treatedvectors()) {
    case vk_eigenvectors:
        return invest->get_svd()->eigenvectors();
    case vk_factor_vectors:
    case vk_factor_vectors2:
        return invest->get_svd()->factor_vectors();
    case vk_reconstructed:
        // Reconstructed components are not unit vectors.
        normalize = true;
        if (!invest->get_reconstructed()) invest->make_reconstructed();
        return invest->get_reconstructed()->table();
    }
    throw SSA_math_exception::unknown_objects_for_identification("inside 't_VYG_constraint::rhomax(...)'");
}

double t_VYG_constraint::rhomax(int i, int j) {
    bool normalize = false;
    const matrix& m = treated_vectors(normalize);
    return m.pair_rhomax(i, j, normalize);
}

void t_VYG_constraint::apply() {
    if (log) {
        *log << std::endl << std::endl;
        *log << "*** VYG constraint param = " << param << " ***\n";
        *log << "    to identify a pair of components as \"harmonic\" pair,\n";
        *log << "    its 'rhomax' value should be greater than this param value\n\n";
    }
    std::vector<Pair::t_pair<int>>& pairs = invest->get_pairs();
    if (pairs.empty()) return;
    bool normalize = false;
    const matrix& m = treated_vectors(normalize);
    // All pairs at once: the same values as rhomax pair by pair, with shared work.
    const std::vector<double> rho = m.pairs_rhomax(pairs, normalize);
    std::vector<Pair::t_pair<int>> kept;
    for (size_t p = 0; p < pairs.size(); ++p) {
        const int a = pairs[p].first, b = pairs[p].second;
        if (log) *log << "rhomax for (" << a + 1 << "," << b + 1 << ") = " << rho[p] << std::endl;
        if (rho[p] > param) {
            kept.push_back(pairs[p]);
            if (log) *log << "* Pair of components (" << a + 1 << "," << b + 1 << ") identified as \"harmonic\" pair\n\n";
        }
    }
    pairs = kept;
}
