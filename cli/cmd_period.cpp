// period: harmonic pairs, their periods and the periodic part of the series.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>

#include "cli_common.h"
#include "commands.h"
#include "core/diagnostics.h"
#include "invest/period_invest.h"

namespace cli {

namespace {

struct period_options {
    std::string amount, vectors = "eigen", goal = "0", crit = "1", vyg = "0.9", estimation = "charroots",
                range = "11:13", min_percent = "0", max_components;
    bool no_vyg = false;
};

// Numbers are parsed here rather than by the option parser, so that a bad one
// is reported in one line like every other input error.
double parse_double(const std::string& option, const std::string& text) {
    size_t used = 0;
    double v = 0;
    try {
        v = std::stod(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size() || !std::isfinite(v))
        throw input_error(option + " '" + text + "' is not a number");
    return v;
}

int parse_int(const std::string& option, const std::string& text) {
    size_t used = 0;
    int v = 0;
    try {
        v = std::stoi(text, &used);
    } catch (const std::exception&) {
        used = 0;
    }
    if (used == 0 || used != text.size()) throw input_error(option + " '" + text + "' is not an integer");
    return v;
}

int parse_estimation(const std::string& s) {
    if (s == "phi") return 0;
    if (s == "charroots") return 1;
    if (s == "periodogr") return 2;
    throw input_error("--estimation '" + s + "' is not one of phi, charroots, periodogr");
}

Pair::t_pair<double> parse_range(const std::string& s) {
    const size_t colon = s.find(':');
    if (colon == std::string::npos) throw input_error("--range '" + s + "' is not of the form min:max");
    const double lo = parse_double("--range minimum", s.substr(0, colon));
    const double hi = parse_double("--range maximum", s.substr(colon + 1));
    if (!(lo > 0 && hi > 0 && lo < hi)) throw input_error("--range " + s + " needs 0 < min < max");
    return {lo, hi};
}

void copy_file(const std::string& from, const std::string& to) {
    std::ifstream in(from, std::ios::binary);
    std::ofstream out(to, std::ios::binary | std::ios::trunc);
    if (!out) throw input_error("unable to write log file " + to);
    out << in.rdbuf();
    if (!out.flush()) throw input_error("unable to write log file " + to);
}

}  // namespace

void register_period(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto p = std::make_shared<period_options>();
    CLI::App* cmd = app.add_subcommand("period", "harmonic pairs, their periods and the periodic part");
    add_common_options(*cmd, *o);
    cmd->add_option("--amount", p->amount, "number of leading components to investigate, default L");
    cmd->add_option("--vectors", p->vectors, "treated vectors: eigen, factor or reconstructed");
    cmd->add_option("--goal", p->goal, "0 periodicities, 1 periodicity with period in range, 2 harmonics in range");
    cmd->add_option("--crit", p->crit, "largest distance of paired peaks, in units of 1/n (default 1)");
    CLI::Option* vyg = cmd->add_option("--vyg", p->vyg, "VYG threshold of rhomax, default 0.9");
    CLI::Option* no_vyg = cmd->add_flag("--no-vyg", p->no_vyg, "no VYG constraint");
    cmd->add_option("--estimation", p->estimation, "period estimation: phi, charroots or periodogr");
    cmd->add_option("--range", p->range, "period range min:max, default 11:13");
    CLI::Option* percent = cmd->add_option("--min-percent", p->min_percent, "smallest contribution of a paired component, %");
    CLI::Option* max_comp = cmd->add_option("--max-components", p->max_components, "largest number of components");
    cmd->add_option("--save", o->save, "write the periodic series in the text data format");
    cmd->add_option("--log", o->log, "copy the investigation's log to this file");
    cmd->callback([o, p, vyg, no_vyg, percent, max_comp, &run] {
        const bool use_vyg_value = vyg->count() > 0, use_no_vyg = no_vyg->count() > 0;
        const bool use_percent = percent->count() > 0, use_max = max_comp->count() > 0;
        run = [o, p, use_vyg_value, use_no_vyg, use_percent, use_max] {
            if (use_vyg_value && use_no_vyg) throw input_error("--vyg and --no-vyg exclude each other");
            if (use_percent && use_max) throw input_error("--min-percent and --max-components exclude each other");
            const vector_kind kind = parse_vector_kind(p->vectors);
            const int goal = parse_int("--goal", p->goal);
            if (goal < 0 || goal > 2) throw input_error("--goal " + p->goal + " is not one of 0, 1, 2");
            const double crit = parse_double("--crit", p->crit);
            if (!(crit > 0)) throw input_error("--crit " + p->crit + " must be above 0");
            const double rho = parse_double("--vyg", p->vyg);
            if (!(rho >= 0 && rho <= 1)) throw input_error("--vyg " + p->vyg + " is outside 0..1");
            const int estimation = parse_estimation(p->estimation);
            const Pair::t_pair<double> range = parse_range(p->range);
            const double min_percent = parse_double("--min-percent", p->min_percent);
            if (!(min_percent >= 0 && min_percent <= 100))
                throw input_error("--min-percent " + p->min_percent + " is outside 0..100");
            int max_components = -1;
            if (use_max) {
                max_components = parse_int("--max-components", p->max_components);
                if (max_components < 1) throw input_error("--max-components " + p->max_components + " must be at least 1");
            }

            const t_ts ts = load_series(o->file);
            const int L = resolve_L(*o, ts.size());
            int amount = L;
            if (!p->amount.empty()) {
                amount = parse_int("--amount", p->amount);
                if (amount < 1 || amount > L)
                    throw input_error("--amount " + p->amount + " is outside 1.." + std::to_string(L));
            }

            t_period_invest inv(ts);
            inv.set_aim(goal);
            inv.set_pairing(0);
            inv.set_estimation(estimation);
            inv.set_treatedvectors(kind);
            inv.set_crit(crit);
            if (!use_no_vyg) {
                const t_VYG_constraint constraint(&inv, rho);
                inv.set_constraint(&constraint);
            }
            inv.set_approx_mode(use_max ? 1 : 0);
            inv.min_percent = min_percent;
            inv.max_components = max_components;
            inv.set_period_range(range);
            inv.set_L(L);
            inv.set_amount(std::min(amount, inv.get_svd()->count()));

            scoped_diagnostic_stream to(diag(*o));
            inv.investigate();
            if (!o->log.empty()) copy_file(inv.get_log().file_name(), o->log);

            const auto& pairs = inv.get_pairs();
            std::vector<double> periods;
            for (const auto& pr : pairs)
                periods.push_back(pr.first == pr.second ? 2.0 : inv.estimate_period(pr.first, pr.second));
            t_ts periodic = inv.get_result();
            periodic.set_title("Periodic part of " + (ts.title().empty() ? o->file : ts.title()));
            periodic.set_has_ticks(periodic.ticks() != nullptr);
            save_if_asked(*o, periodic);

            std::vector<int> components;
            for (int c : inv.get_components()) components.push_back(c + 1);
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
            std::printf("N = %d, L = %d, K = %d, components investigated: %d\n", ts.size(), L, inv.get_svd()->K(),
                        inv.get_amount());
            std::printf("%10s %14s\n", "pair", "period");
            for (size_t k = 0; k < pairs.size(); ++k) {
                const std::string name = "(" + std::to_string(pairs[k].first + 1) + "," +
                                         std::to_string(pairs[k].second + 1) + ")";
                std::printf("%10s %14.6g\n", name.c_str(), periods[k]);
            }
            std::printf("periodic components:");
            for (size_t k = 0; k < components.size(); ++k) std::printf("%s%d", k ? "," : " ", components[k]);
            std::printf("\n");
        };
    });
}

}  // namespace cli
