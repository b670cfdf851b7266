// trend: one trend test over the leading components and the trend found.
#include <algorithm>
#include <cstdio>
#include <iostream>

#include "cli_common.h"
#include "commands.h"
#include "core/ssa_exception.h"
#include "invest/trend_invest.h"

namespace cli {

namespace {

struct trend_options {
    amount_option amount;
    std::string vectors = "eigen";
    std::string method = "lowfreq";
    double alpha = 0.05;
    roots_option roots;
    double omega = 0.07;
    double C = 0.9;
};

int parse_method(const std::string& s) {
    if (s == "kendall") return t_trend_invest::kendall;
    if (s == "roots") return t_trend_invest::roots;
    if (s == "lowfreq") return t_trend_invest::lowfreq;
    throw input_error("--method must be kendall, roots or lowfreq, not '" + s + "'");
}

void check_parameters(const trend_options& t) {
    // Written so that NaN fails every range.
    if (!(t.alpha > 0 && t.alpha <= 1)) throw input_error("--alpha " + number_text(t.alpha) + " is outside (0, 1]");
    if (!(t.omega >= 0 && t.omega <= 0.5))
        throw input_error("--omega " + number_text(t.omega) + " is outside [0, 0.5]");
    if (!(t.C >= 0 && t.C <= 1)) throw input_error("--C " + number_text(t.C) + " is outside [0, 1]");
    check_roots_options(t.roots);
}

}  // namespace

void register_trend(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto t = std::make_shared<trend_options>();
    CLI::App* cmd = app.add_subcommand("trend", "find the trend components and the trend");
    add_common_options(*cmd, *o);
    add_amount_option(*cmd, t->amount);
    cmd->add_option("--vectors", t->vectors, "tested vectors: eigen, factor or reconstructed (default eigen)");
    cmd->add_option("--method", t->method, "kendall, roots or lowfreq (default lowfreq)");
    cmd->add_option("--alpha", t->alpha, "Kendall: trend when the p-level is below alpha (default 0.05)");
    add_roots_options(*cmd, t->roots, "--maxroots");
    cmd->add_option("--omega", t->omega, "LowFreq: upper end of the low frequencies (default 0.07)");
    cmd->add_option("--C", t->C, "LowFreq: smallest low-frequency share of a trend (default 0.9)");
    cmd->add_option("--save", o->save, "write the trend in the text data format")
        ->check(output_file("unable to write data file"));
    cmd->add_option("--log", o->log, "copy the investigation log there")
        ->check(output_file("unable to write log file"));
    cmd->callback([o, t, &run] {
        run = [o, t] {
            const vector_kind kind = parse_vector_kind(t->vectors);
            const int method = parse_method(t->method);
            check_parameters(*t);
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);
            const int amount = resolve_amount(t->amount, L, decomposition_options(*o));

            t_trend_invest inv(ts);
            inv.set_alpha(t->alpha);
            inv.set_maxroots(resolve_roots(t->roots, kind, N, L));
            inv.set_C(t->C);
            inv.set_omega(t->omega);
            inv.set_treatedvectors(kind);
            inv.set_method(method);
            inv.set_svd_options(decomposition_options(*o));
            inv.set_L(L);
            if (inv.get_svd()->count() == 0) throw no_component_error();
            inv.set_amount(std::min(amount, inv.get_svd()->count()));
            inv.investigate();
            copy_log_if_asked(*o, inv);

            t_ts trend = inv.get_result();
            trend.set_title("Trend");
            // The result carries the series' tick marks, if it has any; the file keeps them.
            trend.set_has_ticks(ts.ticks() != nullptr);
            save_if_asked(*o, trend);

            const std::vector<int> components = one_based(inv.get_components());
            if (o->json) {
                nlohmann::json j;
                j["N"] = N;
                j["L"] = L;
                j["K"] = inv.get_svd()->K();
                j["amount"] = inv.get_amount();
                j["components"] = components;
                j["trend"] = to_json(trend.values());
                print_json(j);
                return;
            }
            print_text("N = %d, L = %d, K = %d, components tested: %d (%s)\n", N, L, inv.get_svd()->K(),
                        inv.get_amount(), t->vectors.c_str());
            if (method == t_trend_invest::kendall)
                print_text("method: Kendall, alpha = %g\n", inv.get_alpha());
            else if (method == t_trend_invest::roots)
                print_text("method: Roots, maxroots = %d, epsilon = %g\n", inv.get_maxroots(),
                            t_trend_invest::roots_epsilon);
            else
                print_text("method: LowFreq, omega = %g, C = %g\n", inv.get_omega(), inv.get_C());
            print_text("trend components:");
            for (int c : components) print_text(" %d", c);
            print_text("%s\n", components.empty() ? " none" : "");
            const std::vector<std::string>* ticks = trend.ticks();
            for (int i = 0; i < trend.size(); ++i) {
                if (ticks && !(*ticks)[static_cast<size_t>(i)].empty())
                    print_text("%s\t%.10g\n", (*ticks)[static_cast<size_t>(i)].c_str(), trend[i]);
                else
                    print_text("%d\t%.10g\n", i + 1, trend[i]);
            }
        };
    });
}

}  // namespace cli
