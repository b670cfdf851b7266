// The summation investigation: every identification test on every leading
// component. The investigation object only carries the decomposition, the
// number of components, the treated vectors and the log; the tests run in
// run_summation, which its document calls.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
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

// The thresholds of the summation's tests and the trend conditions.
struct summation_params {
    double summ_epsilon = 0.0001;
    double summ_omega = 0.075;
    int summ_fourier = 1;
    double summ_kendall = 0.05;
    double summ_lowfreq_C = 0.1;
    int summ_roots_max = 0;
    double summ_vyg = 0.7;
    // Bits 0..3: identified by Kendall, Zeros, LowFreq, Fourier; bits 4..7: NOT identified by them.
    std::uint8_t summ_trend_conditions = 135;

    // The first threshold out of its range (NaN is out of every range).
    std::optional<param_refusal> validate() const;
};

// Result types of if_significant, one per test column.
enum summation_result_type { res_kendall = 0, res_zeros = 1, res_lowfreq = 2, res_fourier = 3, res_vyg = 4 };

// The verdicts and texts of every test on the leading components.
struct summation_table {
    std::vector<t_component_results> results;
    // "TR:Kendall", "TR:Zeros", "TR:LowFreq", "PER:Fourier", "PER:VYG" of each component.
    std::vector<std::array<std::string, 5>> row_texts;
    // The dominant period of each component's eigenvector (eigenvector_period).
    std::vector<double> periods;

    // Throws ssa_exception for a type outside 0..4.
    bool if_significant(int k, int type) const;
    bool is_trend(int k, std::uint8_t conditions) const;
    bool is_harmonic(int k, std::uint8_t conditions) const {
        return if_significant(k, res_vyg) && !is_trend(k, conditions);
    }
};

// Every test on the investigation's amount of treated vectors; builds the
// reconstructed components when they are treated and missing. Throws
// unknown_objects_for_identification for a treated kind outside 0..3.
summation_table run_summation(t_summation_invest& inv, const summation_params& p);
