// wcor: weighted correlations of the leading elementary reconstructed components.
#include <algorithm>
#include <cstdio>

#include "cli_common.h"
#include "commands.h"
#include "decomp/reconstructed.h"
#include "decomp/svd.h"
#include "decomp/wcorrelation.h"
#include "invest/grouping.h"

namespace cli {

namespace {

// Beyond this many the matrix is no longer read by eye.
constexpr int default_wcor_limit = 50;

nlohmann::json matrix_rows(const matrix& rho) {
    nlohmann::json rows = nlohmann::json::array();
    for (int i = 0; i < rho.rows(); ++i) {
        std::vector<double> r(static_cast<size_t>(rho.cols()));
        for (int j = 0; j < rho.cols(); ++j) r[static_cast<size_t>(j)] = rho(i, j);
        rows.push_back(r);
    }
    return rows;
}

void print_matrix(const matrix& rho, const std::vector<std::string>& labels) {
    size_t width = 7;
    for (const std::string& l : labels) width = std::max(width, l.size());
    const int w = static_cast<int>(width);
    print_text("%*s", w, "");
    for (const std::string& l : labels) print_text(" %*s", w, l.c_str());
    print_text("\n");
    for (int i = 0; i < rho.rows(); ++i) {
        print_text("%*s", w, labels[static_cast<size_t>(i)].c_str());
        for (int j = 0; j < rho.cols(); ++j) print_text(" %*.4f", w, rho(i, j));
        print_text("\n");
    }
}

// The w-correlations of the groups' reconstructions.
void print_group_wcor(const SVD::t_svd& svd, const std::vector<std::vector<int>>& sets, bool json) {
    std::vector<component_group> groups;
    for (const std::vector<int>& s : sets) groups.push_back({component_set_text(s), s});
    try {
        check_groups(groups, svd.count());
    } catch (const grouping_error& e) {
        throw bad_input(e.message);
    }
    std::vector<series> parts;
    std::vector<std::string> labels;
    for (const component_group& g : groups) {
        parts.push_back(svd.reconstruct_values(g.components));
        labels.push_back(g.name);
    }
    const matrix rho = series_wcorrelation(parts, svd.L());
    if (json) {
        nlohmann::json numbers = nlohmann::json::array();
        for (const std::vector<int>& s : sets) numbers.push_back(one_based(s));
        print_json({{"N", svd.N()}, {"L", svd.L()}, {"groups", numbers}, {"wcor", matrix_rows(rho)}});
        return;
    }
    print_text("N = %d, L = %d, groups: %zu\n", svd.N(), svd.L(), groups.size());
    print_matrix(rho, labels);
}

void print_proposal(const SVD::t_svd& svd, const matrix& rho, double threshold, bool json) {
    const std::vector<std::vector<int>> clusters = cluster_components(rho, threshold);
    if (json) {
        nlohmann::json groups = nlohmann::json::array();
        for (const std::vector<int>& c : clusters) groups.push_back(one_based(c));
        print_json({{"N", svd.N()}, {"L", svd.L()}, {"components", rho.rows()}, {"threshold", threshold},
                    {"rule", clustering_rule(threshold)}, {"groups", groups}});
        return;
    }
    print_text("N = %d, L = %d, components: %d\n", svd.N(), svd.L(), rho.rows());
    print_text("%s\n", clustering_rule(threshold).c_str());
    for (const std::vector<int>& c : clusters) print_text("%s\n", component_set_text(c).c_str());
}

}  // namespace

void register_wcor(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto a = std::make_shared<amount_option>();
    CLI::App* cmd = app.add_subcommand("wcor", "weighted correlations of the leading reconstructed components");
    add_common_options(*cmd, *o);
    a->given = cmd->add_option("--amount", a->value,
                               "leading components, default those in use, at most 50");
    auto groups = std::make_shared<std::string>();
    auto threshold = std::make_shared<double>(0.0);
    CLI::Option* by_groups = cmd->add_option("--groups", *groups,
                                             "w-correlations between groups, e.g. 1,4:2-3:5-6");
    CLI::Option* cluster = cmd->add_option("--cluster", *threshold,
                                           "propose groups: components join while 1 - |w| is at most THRESHOLD");
    cluster->excludes(by_groups);
    by_groups->excludes(a->given);
    cmd->callback([o, a, groups, threshold, by_groups, cluster, &run] {
        const bool grouped = static_cast<bool>(*by_groups), clustering = static_cast<bool>(*cluster);
        run = [o, a, groups, threshold, grouped, clustering] {
            if (clustering && !(*threshold >= 0 && *threshold <= 1))
                throw bad_input("--cluster takes a threshold in 0..1, not " + number_text(*threshold));
            std::vector<std::vector<int>> sets;
            if (grouped) try {
                    sets = parse_component_sets(*groups);
                } catch (const grouping_error& e) {
                    throw bad_input("--groups: " + e.message);
                }
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);
            const SVD::svd_options options = decomposition_options(*o);
            const int asked = *a->given ? resolve_amount(*a, L, options) : default_wcor_limit;
            const SVD::t_svd svd(ts, L, options);
            if (svd.count() == 0) throw no_component_error();
            if (!sets.empty()) return print_group_wcor(svd, sets, o->json);
            // Components past those in use are rounding noise.
            const int m = std::min(asked, svd.count());
            const t_reconstructed_tss rec(&svd, m);
            const matrix rho = wcorrelation(rec, L, m);
            if (clustering) return print_proposal(svd, rho, *threshold, o->json);
            if (o->json) {
                print_json({{"N", N}, {"L", L}, {"components", m}, {"wcor", matrix_rows(rho)}});
                return;
            }
            print_text("N = %d, L = %d, components: %d\n", N, L, m);
            print_text("%4s", "");
            for (int j = 0; j < m; ++j) print_text(" %7d", j + 1);
            print_text("\n");
            for (int i = 0; i < m; ++i) {
                print_text("%4d", i + 1);
                for (int j = 0; j < m; ++j) print_text(" %7.4f", rho(i, j));
                print_text("\n");
            }
        };
    });
}

}  // namespace cli
