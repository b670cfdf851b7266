// info, decompose, reconstruct.
#include <cctype>
#include <cmath>
#include <limits>
#include <cstdio>
#include <iostream>

#include "invest/grouping_file.h"
#include "cli_common.h"
#include "commands.h"
#include "decomp/svd.h"

namespace cli {

void register_info(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    CLI::App* cmd = app.add_subcommand("info", "show a data file's series");
    add_common_options(*cmd, *o, false);
    cmd->callback([o, &run] {
        run = [o] {
            // Showing needs no decomposition: one value is enough.
            const t_ts ts = load_series(*o, 1);
            const bool file_ticks = ts.ticks() != nullptr;
            if (o->json) {
                nlohmann::json j;
                j["N"] = ts.size();
                j["title"] = ts.title();
                j["has_ticks"] = file_ticks;
                j["min"] = ts.min();
                j["max"] = ts.max();
                j["values"] = to_json(ts.values());
                j["ticks"] = file_ticks ? nlohmann::json(*ts.ticks()) : nlohmann::json::array();
                print_json(j);
                return;
            }
            std::cout << "N: " << ts.size() << "\ntitle: " << ts.title()
                      << "\ntick marks: " << (file_ticks ? "yes" : "no") << "\nmin: " << ts.min()
                      << "\nmax: " << ts.max() << '\n';
        };
    });
}

void register_decompose(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    CLI::App* cmd = app.add_subcommand("decompose", "eigenvalues and contributions of the decomposition");
    add_common_options(*cmd, *o);
    cmd->callback([o, &run] {
        run = [o] {
            const t_ts ts = load_series(*o);
            const int L = resolve_L(*o, ts.size());
            SVD::svd_options options = decomposition_options(*o);
            options.vectors = false;  // eigenvalues are all it prints
            const SVD::t_svd svd(ts, L, options);
            // The components held: L, or k of a truncated decomposition.
            const int m = svd.components();
            std::vector<double> contributions, singular;
            for (int c = 0; c < m; ++c) {
                contributions.push_back(svd.contribution(c));
                singular.push_back(std::sqrt(svd.spectrum()[static_cast<size_t>(c)]));
            }
            if (o->json) {
                nlohmann::json j;
                j["N"] = ts.size();
                j["L"] = L;
                j["K"] = svd.K();
                j["count"] = svd.count();
                j["components"] = m;
                j["eigenvalues"] = svd.spectrum();
                j["contributions"] = contributions;
                j["singular_values"] = singular;
                print_json(j);
                return;
            }
            print_text("N = %d, L = %d, K = %d, eigentriples in use: %d", ts.size(), L, svd.K(), svd.count());
            if (svd.truncated()) print_text(", held: %d (truncated)", m);
            print_text("\n");
            print_text("%6s %16s %16s %14s\n", "#", "eigenvalue", "singular value", "contribution");
            for (int c = 0; c < m; ++c)
                print_text("%6d %16.8g %16.8g %13.4f%%\n", c + 1, svd.spectrum()[static_cast<size_t>(c)],
                            singular[static_cast<size_t>(c)], 100 * contributions[static_cast<size_t>(c)]);
        };
    });
}

namespace {

// A group's file name in --save-dir: its name with what a file name should
// not hold replaced.
std::string group_file_name(const std::string& name, size_t index) {
    std::string out;
    for (char c : name) out += std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.' ? c : '_';
    if (out.empty() || out[0] == '.') out = "group" + std::to_string(index + 1) + out;
    return out + ".dat";
}

// Every group of a grouping file, one file each in the directory.
void reconstruct_grouping(const common_options& o, const std::string& grouping_path, const std::string& dir) {
    const t_ts ts = load_series(o);
    t_grouping g;
    try {
        g = load_grouping(grouping_path);
        // The components are checked once the decomposition tells those in use.
        check_grouping_fits(g, ts.size(), *o.L_given ? o.L : 0, std::numeric_limits<int>::max());
    } catch (const grouping_error& e) {
        throw bad_input(grouping_path + ": " + e.message);
    }
    const SVD::svd_options options = decomposition_options(o);
    check_decomposition_memory(ts.size(), g.L, options);
    const SVD::t_svd svd(ts, g.L, options);
    grouped_reconstruction r;
    try {
        check_grouping_fits(g, ts.size(), 0, svd.count());
        r = reconstruct_groups(ts, svd, g.groups);
    } catch (const grouping_error& e) {
        throw bad_input(grouping_path + ": " + e.message);
    }
    std::vector<std::string> paths;
    for (size_t i = 0; i < g.groups.size(); ++i) {
        const std::string name = group_file_name(g.groups[i].name, i);
        for (const std::string& p : paths)
            if (p == name) throw bad_input("two groups would both be saved as " + name);
        paths.push_back(name);
    }
    if (!dir.empty())
        for (size_t i = 0; i < paths.size(); ++i) save_cts(dir + "/" + paths[i], r.groups[i]);
    if (o.json) {
        nlohmann::json groups = nlohmann::json::array();
        for (size_t i = 0; i < g.groups.size(); ++i)
            groups.push_back({{"name", g.groups[i].name},
                              {"components", one_based(g.groups[i].components)},
                              {"file", dir.empty() ? std::string() : paths[i]},
                              {"series", to_json(r.groups[i].values())}});
        print_json({{"N", ts.size()}, {"L", g.L}, {"groups", groups}, {"residual", to_json(r.residual.values())}});
        return;
    }
    print_text("N = %d, L = %d, groups: %zu\n", ts.size(), g.L, g.groups.size());
    for (size_t i = 0; i < g.groups.size(); ++i)
        print_text("%s\t%s\t%s\n", g.groups[i].name.c_str(), component_set_text(g.groups[i].components).c_str(),
                   dir.empty() ? "" : paths[i].c_str());
}

}  // namespace

void register_reconstruct(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto group = std::make_shared<std::string>();
    auto grouping = std::make_shared<std::string>();
    auto dir = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("reconstruct", "series of a group of components, or of every group of a grouping");
    add_common_options(*cmd, *o);
    CLI::Option* one = cmd->add_option("--group", *group, "components, 1-based, e.g. 1,2,5");
    CLI::Option* many = cmd->add_option("--grouping", *grouping, "a grouping file (JSON) saved by the desktop program");
    CLI::Option* save_dir = cmd->add_option("--save-dir", *dir, "with --grouping: one file per group in this directory")
                                ->check(CLI::ExistingDirectory);
    one->excludes(many);
    save_dir->needs(many);
    cmd->add_option("--save", o->save, "write the series in the text data format")
        ->check(output_file("unable to write data file"))
        ->excludes(many);
    cmd->callback([o, group, grouping, dir, one, many, &run] {
        if (!*one && !*many) throw CLI::RequiredError("--group or --grouping");
        const bool from_file = static_cast<bool>(*many);
        run = [o, group, grouping, dir, from_file] {
            if (from_file) return reconstruct_grouping(*o, *grouping, *dir);
            const t_ts ts = load_series(*o);
            const int L = resolve_L(*o, ts.size());
            const SVD::svd_options options = decomposition_options(*o);
            const std::vector<int> indices = parse_group(*group, L, SVD::truncated_components(options, L));
            const SVD::t_svd svd(ts, L, options);
            t_ts out;
            svd.reconstruct(indices, out);
            // A saved part keeps the dates of the series it came from.
            if (ts.ticks()) out.set_ticks(ts.ticks());
            out.set_title("Reconstruction of " + *group);
            save_if_asked(*o, out);
            if (o->json) {
                print_json({{"series", to_json(out.values())}});
                return;
            }
            for (int t = 0; t < out.size(); ++t) print_text("%s\t%.10g\n", (*out.ticks())[t].c_str(), out[t]);
        };
    });
}

}  // namespace cli
