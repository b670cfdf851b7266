#include "grouping_workbench.h"

#include <algorithm>
#include <filesystem>

#include "app/summ_interact_doc.h"
#include "app/text_format.h"

grouping_workbench::grouping_workbench(const t_ts& ts, std::shared_ptr<const SVD::t_svd> svd, std::string data_path)
    : m_ts(ts), m_svd(std::move(svd)), m_path(std::move(data_path)) {}

void grouping_workbench::add_group(const std::string& name, const std::string& components) {
    std::vector<component_group> groups = m_groups;
    const std::vector<int> set = parse_component_set(components);
    groups.push_back({name.empty() ? component_set_text(set) : name, set});
    set_groups(std::move(groups));
}

void grouping_workbench::remove_group(int i) {
    if (i >= 0 && i < static_cast<int>(m_groups.size())) m_groups.erase(m_groups.begin() + i);
}

void grouping_workbench::set_groups(std::vector<component_group> groups) {
    check_groups(groups, m_svd->count());
    m_groups = std::move(groups);
}

rgb grouping_workbench::colour(int i) {
    static const rgb palette[] = {{31, 119, 180}, {255, 127, 14}, {44, 160, 44}, {214, 39, 40},
                                  {148, 103, 189}, {140, 86, 75}, {227, 119, 194}, {188, 189, 34}};
    return palette[static_cast<size_t>(i) % (sizeof palette / sizeof palette[0])];
}

grouped_reconstruction grouping_workbench::reconstruct() const { return reconstruct_groups(m_ts, *m_svd, m_groups); }

matrix grouping_workbench::group_wcorrelation(const grouped_reconstruction& r) const {
    std::vector<::series> parts;
    for (const t_ts& g : r.groups) parts.push_back(g.values());
    return series_wcorrelation(parts, m_svd->L());
}

t_grouping grouping_workbench::grouping() const {
    return {std::filesystem::path(m_path).filename().string(), m_svd->L(), m_groups};
}

void grouping_workbench::open(const t_grouping& g) {
    check_grouping_fits(g, m_ts.size(), m_svd->L(), m_svd->count());
    m_groups = g.groups;
}

std::vector<component_group> grouping_workbench::groups_from_marks(const CSummInteractDoc& marks) {
    std::vector<component_group> groups;
    component_group trend{"trend", {}};
    for (int k = 0; k < marks.rows(); ++k)
        if (marks.is_trend(k)) trend.components.push_back(k);
    if (!trend.components.empty()) groups.push_back(trend);
    const CSummationInvestDoc* summation = marks.get_summation();
    std::vector<bool> taken(static_cast<size_t>(marks.rows()), false);
    for (int k = 0; k < marks.rows(); ++k) {
        // A row marked both TR and PER stays in the trend: a component joins one group only.
        if (!marks.is_harmonic(k) || marks.is_trend(k) || taken[static_cast<size_t>(k)]) continue;
        component_group pair{"", {k}};
        for (int p : marks.partners(k))
            if (p != k && !marks.is_trend(p) && !taken[static_cast<size_t>(p)]) pair.components.push_back(p);
        for (int c : pair.components) taken[static_cast<size_t>(c)] = true;
        std::sort(pair.components.begin(), pair.components.end());
        const double period = !summation                   ? 0
                              : pair.components.size() > 1 ? summation->pair_period(pair.components[0], pair.components[1])
                                                           : summation->component_period(k);
        pair.name = "period " + period_text(period);
        groups.push_back(pair);
    }
    return groups;
}
