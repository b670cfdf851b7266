// Groups of components chosen by the user: component sets typed as text, the
// w-correlations between groups, a clustering that proposes groups, the
// periodogram and dominant period of an eigenvector, and the reconstruction
// of every group with the residual.
#pragma once

#include <string>
#include <vector>

#include "core/matrix.h"
#include "core/series.h"
#include "core/ssa_exception.h"
#include "decomp/svd.h"
#include "timeseries/ts.h"

// A component set or grouping the user gave that cannot be used; the message
// names the problem.
class grouping_error : public SSA_math_exception::bad_input {
public:
    using bad_input::bad_input;
};

struct component_group {
    std::string name;
    std::vector<int> components;  // 0-based, ascending, no repeats
};

// "1,4-5,7" (1-based numbers and ranges a-b, blanks allowed around them) as
// 0-based components, ascending. Throws grouping_error for an empty text, an
// item that is no number or range, a reversed range, a number below 1 or a
// repeated component.
std::vector<int> parse_component_set(const std::string& text);

// Component sets split by ":" ("1,4:2-3:5-6"); a component may belong to one
// set only.
std::vector<std::vector<int>> parse_component_sets(const std::string& text);

// Throws grouping_error naming the first component at or above held (0-based
// components; held: the components the decomposition has in use), or one
// that lies in two groups.
void check_groups(const std::vector<component_group>& groups, int held);

// "1,4-5,7": the inverse of parse_component_set.
std::string component_set_text(const std::vector<int>& components);

// Weighted correlations of any series of one length N decomposed with window
// length L (the groups' reconstructions): the same weights and conventions
// as wcorrelation().
matrix series_wcorrelation(const std::vector<series>& xs, int L);

// Average-linkage clustering of the components of a w-correlation matrix by
// the distance 1 - |w|: clusters join while their mean distance is at most
// threshold. Clusters are 0-based, each ascending, ordered by their first
// component.
std::vector<std::vector<int>> cluster_components(const matrix& wcor, double threshold);
// The clustering's rule as shown with the proposal.
std::string clustering_rule(double threshold);
constexpr double default_cluster_threshold = 0.5;

// The periodogram of one or more vectors of one length n, their powers
// summed: power[k] at frequency k/n, k = 0 .. n/2.
struct periodogram {
    std::vector<double> frequency;
    std::vector<double> power;
    // The frequency of the highest peak above frequency 0, refined between
    // the grid points (vectors_periodogram); 0 when the frequency 0 holds
    // the most power (a trend) or there is no power at all.
    double peak_frequency = 0;
    // 1 / peak_frequency, or 0.
    double dominant_period() const;
};
// The peak is refined between the grid bin of the highest power and its
// higher neighbour, to the frequency whose cosine and sine fit the vectors
// best (least squares): exactly the frequency of a pure sinusoid, which the
// grid k/n meets only when n is a multiple of its period. A peak next to
// frequency 0 or 1/2 stays on the grid.
periodogram vectors_periodogram(const std::vector<const double*>& vectors, int n);

// "12.00", or "-" for no period.
std::string period_text(double period);

// The dominant period of eigenvector c, or of the pair (c, d) together.
double eigenvector_period(const SVD::t_svd& svd, int c);
double pair_period(const SVD::t_svd& svd, int c, int d);

// Each group's reconstruction, in the groups' order, and the residual: the
// series minus every group. Each keeps the series' tick marks and is titled
// by its group's name.
struct grouped_reconstruction {
    std::vector<t_ts> groups;
    t_ts residual;
};
grouped_reconstruction reconstruct_groups(const t_ts& ts, const SVD::t_svd& svd,
                                          const std::vector<component_group>& groups);
