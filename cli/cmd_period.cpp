// period: harmonic pairs, their periods and the periodic part of the series.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>

#include "cli_common.h"
#include "core/number_text.h"
#include "commands.h"
#include "invest/period_invest.h"

namespace cli {

namespace {

struct period_options {
    amount_option amount;
    std::string vectors = "eigen", estimation = "charroots", range = "11:13";
    period_params params;
    bool no_vyg = false;
};

t_period_invest::estimation_kind parse_estimation(const std::string& s) {
    if (s == "phi") return t_period_invest::phi;
    if (s == "charroots") return t_period_invest::charroots;
    if (s == "periodogr") return t_period_invest::periodogr;
    throw bad_input("--estimation '" + s + "' is not one of phi, charroots, periodogr");
}

Pair::t_pair<double> parse_range(const std::string& s) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) throw bad_input("--range '" + s + "' is not of the form min:max");
    const std::optional<double> min = parse_number(s.substr(0, colon)), max = parse_number(s.substr(colon + 1));
    const double lo = min ? *min : 0, hi = max ? *max : 0;
    if (!(lo > 0 && hi > 0 && lo < hi && std::isfinite(hi))) throw bad_input("--range " + s + " needs 0 < min < max");
    return {lo, hi};
}

}  // namespace

void register_period(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto p = std::make_shared<period_options>();
    CLI::App* cmd = app.add_subcommand("period", "harmonic pairs, their periods and the periodic part");
    add_common_options(*cmd, *o);
    add_amount_option(*cmd, p->amount);
    cmd->add_option("--vectors", p->vectors, "treated vectors: eigen, factor or reconstructed");
    cmd->add_option("--goal", p->params.period_goal, "0 periodicities, 1 periodicity with period in range, 2 harmonics in range");
    cmd->add_option("--crit", p->params.fourier_crit, "largest distance of paired peaks, in units of 1/n (default 1)");
    CLI::Option* vyg = cmd->add_option("--vyg", p->params.vyg_rhomax, "VYG threshold of rhomax, default 0.9");
    CLI::Option* no_vyg = cmd->add_flag("--no-vyg", p->no_vyg, "no VYG constraint");
    cmd->add_option("--estimation", p->estimation, "period estimation: phi, charroots or periodogr");
    cmd->add_option("--range", p->range, "period range min:max, default 11:13");
    CLI::Option* percent = cmd->add_option("--min-percent", p->params.approx_percent, "smallest contribution of a paired component, %");
    CLI::Option* max_comp = cmd->add_option("--max-components", p->params.approx_max_components, "largest number of components");
    cmd->add_option("--save", o->save, "write the periodic series in the text data format")
        ->check(output_file("unable to write data file"));
    cmd->add_option("--log", o->log, "copy the investigation's log to this file")
        ->check(output_file("unable to write log file"));
    cmd->callback([o, p, vyg, no_vyg, percent, max_comp, &run] {
        const bool use_vyg_value = vyg->count() > 0, use_no_vyg = no_vyg->count() > 0;
        const bool use_percent = percent->count() > 0, use_max = max_comp->count() > 0;
        run = [o, p, use_vyg_value, use_no_vyg, use_percent, use_max] {
            if (use_vyg_value && use_no_vyg) throw bad_input("--vyg and --no-vyg exclude each other");
            if (use_percent && use_max) throw bad_input("--min-percent and --max-components exclude each other");
            period_params params = p->params;
            params.period_vectors = parse_vector_kind(p->vectors);
            params.period_estimation = parse_estimation(p->estimation);
            const Pair::t_pair<double> range = parse_range(p->range);
            params.period_min = range.first;
            params.period_max = range.second;
            params.vyg_on = !use_no_vyg;
            params.approx_mode = use_max ? t_period_invest::approx_by_count : t_period_invest::approx_by_percent;
            if (const auto refusal = params.validate()) throw bad_input("--" + refusal->name + " " + refusal->text);

            const t_ts ts = load_series(*o);
            const int L = resolve_L(*o, ts.size());
            const int amount = resolve_amount(p->amount, L, decomposition_options(*o));

            t_period_invest inv(ts);
            params.apply(inv);
            inv.set_svd_options(decomposition_options(*o));
            inv.set_L(L);
            if (inv.get_svd()->count() == 0) throw no_component_error();
            inv.set_amount(std::min(amount, inv.get_svd()->count()));

            inv.investigate();
            copy_log_if_asked(*o, inv);

            const auto& pairs = inv.get_pairs();
            std::vector<double> periods;
            for (const auto& pr : pairs)
                periods.push_back(pr.first == pr.second ? 2.0 : inv.estimate_period(pr.first, pr.second));
            t_ts periodic = inv.get_result();
            periodic.set_title("Periodic part of " + (ts.title().empty() ? o->file : ts.title()));
            periodic.set_has_ticks(periodic.ticks() != nullptr);
            save_if_asked(*o, periodic);

            const std::vector<int> components = one_based(inv.get_components());
            if (o->json) {
                nlohmann::json j;
                j["N"] = ts.size();
                j["L"] = L;
                j["K"] = inv.get_svd()->K();
                j["amount"] = inv.get_amount();
                j["pairs"] = nlohmann::json::array();
                for (const auto& pr : pairs) j["pairs"].push_back({pr.first + 1, pr.second + 1});
                j["periods"] = periods;
                j["components"] = components;
                j["periodic"] = to_json(periodic.values());
                print_json(j);
                return;
            }
            print_text("N = %d, L = %d, K = %d, components investigated: %d\n", ts.size(), L, inv.get_svd()->K(),
                        inv.get_amount());
            print_text("%10s %14s\n", "pair", "period");
            for (size_t k = 0; k < pairs.size(); ++k) {
                const std::string name = "(" + std::to_string(pairs[k].first + 1) + "," +
                                         std::to_string(pairs[k].second + 1) + ")";
                print_text("%10s %14.6g\n", name.c_str(), periods[k]);
            }
            print_text("periodic components:");
            for (size_t k = 0; k < components.size(); ++k) print_text("%s%d", k ? "," : " ", components[k]);
            print_text("\n");
        };
    });
}

}  // namespace cli
