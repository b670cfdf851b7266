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
    trend_params params;
    roots_option roots;
};

t_trend_invest::method_kind parse_method(const std::string& s) {
    if (s == "kendall") return t_trend_invest::kendall;
    if (s == "roots") return t_trend_invest::roots;
    if (s == "lowfreq") return t_trend_invest::lowfreq;
    throw bad_input("--method must be kendall, roots or lowfreq, not '" + s + "'");
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
    cmd->add_option("--alpha", t->params.kendall_threshold, "Kendall: trend when the p-level is below alpha (default 0.05)");
    add_roots_options(*cmd, t->roots, "--maxroots");
    cmd->add_option("--omega", t->params.lowfreq_omega, "LowFreq: upper end of the low frequencies (default 0.07)");
    cmd->add_option("--C", t->params.lowfreq_C, "LowFreq: smallest low-frequency share of a trend (default 0.9)");
    cmd->add_option("--save", o->save, "write the trend in the text data format")
        ->check(output_file("unable to write data file"));
    cmd->add_option("--log", o->log, "copy the investigation log there")
        ->check(output_file("unable to write log file"));
    cmd->callback([o, t, &run] {
        run = [o, t] {
            trend_params p = t->params;
            p.trend_vectors = parse_vector_kind(t->vectors);
            p.trend_method = parse_method(t->method);
            if (const auto refusal = p.validate()) throw bad_input("--" + refusal->name + " " + refusal->text);
            check_roots_options(t->roots);
            p.roots_in_percents = !*t->roots.count_given;
            p.roots_count = t->roots.count;
            p.roots_percent = t->roots.percent;
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);
            const int amount = resolve_amount(t->amount, L, decomposition_options(*o));

            t_trend_invest inv(ts);
            p.apply(inv, N, L);
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
            if (p.trend_method == t_trend_invest::kendall)
                print_text("method: Kendall, alpha = %g\n", inv.get_alpha());
            else if (p.trend_method == t_trend_invest::roots)
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
