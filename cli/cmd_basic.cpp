// info, decompose, reconstruct.
#include <cmath>
#include <cstdio>
#include <iostream>

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

void register_reconstruct(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto group = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("reconstruct", "series of a group of components");
    add_common_options(*cmd, *o);
    cmd->add_option("--group", *group, "components, 1-based, e.g. 1,2,5")->required();
    cmd->add_option("--save", o->save, "write the series in the text data format")
        ->check(output_file("unable to write data file"));
    cmd->callback([o, group, &run] {
        run = [o, group] {
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
