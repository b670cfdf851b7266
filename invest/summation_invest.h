// The summation investigation: every identification test on every leading
// component. Its document runs the tests; the investigation only carries the
// decomposition, the number of components, the treated vectors and the log.
#pragma once

#include <vector>

#include "investigation.h"

// One harmonic-pair test of a component.
struct t_pair_entry {
    // 0-based; the component itself when it alone is a harmonic of frequency 0.5.
    int partner = -1;
    bool fourier_significant = false;
    double peak_freq = -1.0;  // frequency of this component's periodogram maximum
    int fourier_value = -1;   // the truncated distance of the Fourier test
    bool vyg_significant = false;
    double rho = -1.0;
};

// The verdicts of every test on one component.
class t_component_results : public t_object {
public:
    int component_no = -1;  // counted from 1
    bool kendall_significant = false;
    double plevel = -1.0;
    bool zeros_significant = false;
    int zeros = -1;
    bool lowfreq_significant = false;
    double lf_omega = 0;  // the omega relation was computed with
    double relation = -1.0;
    // Its own entry first; a mirror entry towards the next component may follow.
    std::vector<t_pair_entry> pair_entries;
};

class t_summation_invest : public t_investigation {
public:
    explicit t_summation_invest(const t_ts& ts);

    // Both throw ssa_exception: the summation's document runs the tests.
    void investigate() override;
    void identificate() override;

    // The vectors the tests read, as columns; null for an unknown kind, or for
    // reconstructed components not built yet.
    const matrix* tested_vectors() const { return treated_matrix(); }
};
