// The model behind the Groups and Components windows: one decomposition, the
// user's named groups of its components, their reconstructions and
// w-correlations, and the grouping file. Plain C++; the windows only show it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "app/colour.h"
#include "invest/grouping_file.h"
#include "decomp/svd.h"
#include "timeseries/ts.h"

class CSummInteractDoc;

class grouping_workbench {
public:
    // data_path: the series' file, whose name the grouping file keeps.
    grouping_workbench(const t_ts& ts, std::shared_ptr<const SVD::t_svd> svd, std::string data_path);

    const t_ts& series() const { return m_ts; }
    const SVD::t_svd& svd() const { return *m_svd; }
    const std::string& data_path() const { return m_path; }
    const std::vector<component_group>& groups() const { return m_groups; }

    // Adds a group typed as "1,4-5,7"; throws grouping_error (a bad text, a
    // component beyond those in use or already in a group). An empty name
    // becomes the components' text.
    void add_group(const std::string& name, const std::string& components);
    void remove_group(int i);
    // Replaces every group, after the same checks.
    void set_groups(std::vector<component_group> groups);
    // A group's colour on the map and in the list.
    static rgb colour(int i);

    grouped_reconstruction reconstruct() const;
    // The w-correlations of the groups' reconstructions: |w| below 0.1 counts as separable.
    matrix group_wcorrelation(const grouped_reconstruction& r) const;
    static constexpr double separable_below = 0.1;

    t_grouping grouping() const;
    // Replaces the groups by those of a grouping file; refuses (grouping_error)
    // one made with another window length or naming components not in use.
    void open(const t_grouping& g);

    // The interactive summation's marks as groups: "trend" from the TR rows,
    // one group per pair of PER rows ("period 12.00"), in row order.
    static std::vector<component_group> groups_from_marks(const CSummInteractDoc& marks);

private:
    t_ts m_ts;
    std::shared_ptr<const SVD::t_svd> m_svd;
    std::string m_path;
    std::vector<component_group> m_groups;
};
