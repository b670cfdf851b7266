// wcor: weighted correlations of the leading elementary reconstructed components.
#include <algorithm>
#include <cstdio>

#include "cli_common.h"
#include "commands.h"
#include "decomp/reconstructed.h"
#include "decomp/svd.h"
#include "decomp/wcorrelation.h"

namespace cli {

namespace {

// Beyond this many the matrix is no longer read by eye.
constexpr int default_wcor_limit = 50;

}  // namespace

void register_wcor(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto a = std::make_shared<amount_option>();
    CLI::App* cmd = app.add_subcommand("wcor", "weighted correlations of the leading reconstructed components");
    add_common_options(*cmd, *o);
    a->given = cmd->add_option("--amount", a->value,
                               "leading components, default those in use, at most 50");
    cmd->callback([o, a, &run] {
        run = [o, a] {
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);
            const SVD::svd_options options = decomposition_options(*o);
            const int asked = *a->given ? resolve_amount(*a, L, options) : default_wcor_limit;
            const SVD::t_svd svd(ts, L, options);
            if (svd.count() == 0) throw no_component_error();
            // Components past those in use are rounding noise.
            const int m = std::min(asked, svd.count());
            const t_reconstructed_tss rec(&svd, m);
            const matrix rho = wcorrelation(rec, L, m);
            if (o->json) {
                nlohmann::json rows = nlohmann::json::array();
                for (int i = 0; i < m; ++i) {
                    std::vector<double> r(static_cast<size_t>(m));
                    for (int j = 0; j < m; ++j) r[static_cast<size_t>(j)] = rho(i, j);
                    rows.push_back(r);
                }
                print_json({{"N", N}, {"L", L}, {"components", m}, {"wcor", rows}});
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
