// summation: every test on every leading component, and the final
// decomposition into trend, periodic part and residual by the verdicts.
#include <cmath>
#include <cstdio>

#include "cli_common.h"
#include "commands.h"
#include "core/number_text.h"
#include "invest/final_decomposition.h"
#include "invest/summation_invest.h"

namespace cli {

namespace {

struct summation_options {
    amount_option amount;
    std::string vectors = "eigen";
    int conditions = 135;
    summation_params params;
    roots_option roots;
};

void print_table(const summation_table& table, const summation_params& p, const SVD::t_svd& svd) {
    print_text("%-11s %-10s %-8s %-10s %-18s %-10s %-16s %s\n", "Component #", "TR:Kendall", "TR:Zeros",
                "TR:LowFreq", "PER:Fourier", "PER:VYG", "Singular values", "T/H");
    for (int k = 0; k < static_cast<int>(table.row_texts.size()); ++k) {
        const auto& texts = table.row_texts[static_cast<size_t>(k)];
        const char* mark = table.is_trend(k, p.summ_trend_conditions)      ? "T"
                           : table.is_harmonic(k, p.summ_trend_conditions) ? "H"
                                                                           : "";
        print_text("%-11u %-10s %-8s %-10s %-18s %-10s %-16s %s\n", static_cast<unsigned>(k + 1), texts[0].c_str(),
                    texts[1].c_str(), texts[2].c_str(), texts[3].c_str(), texts[4].c_str(),
                    format_text("%f", std::sqrt(svd.spectrum().at(static_cast<size_t>(k)))).c_str(), mark);
    }
}

}  // namespace

void register_summation(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto s = std::make_shared<summation_options>();
    CLI::App* cmd = app.add_subcommand("summation", "every test on every component, and the final decomposition");
    add_common_options(*cmd, *o);
    add_amount_option(*cmd, s->amount);
    cmd->add_option("--vectors", s->vectors, "tested vectors: eigen, factor or reconstructed (default eigen)");
    cmd->add_option("--conditions", s->conditions,
                    "trend conditions: 1, 2, 4, 8 identified by Kendall, Zeros, LowFreq, Fourier; "
                    "16, 32, 64, 128 NOT identified by them (default 135)");
    cmd->add_option("--epsilon", s->params.summ_epsilon, "Zeros: steps up to epsilon make no root (default 0.0001)");
    cmd->add_option("--omega", s->params.summ_omega, "LowFreq: upper end of the low frequencies (default 0.075)");
    cmd->add_option("--fourier", s->params.summ_fourier, "Fourier: largest distance of paired peaks, in units of 1/L (default 1)");
    cmd->add_option("--kendall", s->params.summ_kendall, "Kendall: trend when the p-level is below it (default 0.05)");
    cmd->add_option("--lowfreq-C", s->params.summ_lowfreq_C, "LowFreq: smallest low-frequency share of a trend (default 0.1)");
    add_roots_options(*cmd, s->roots, "--roots-max");
    cmd->add_option("--vyg", s->params.summ_vyg, "VYG: a pair's rho must be above it (default 0.7)");
    cmd->callback([o, s, &run] {
        run = [o, s] {
            const vector_kind kind = parse_vector_kind(s->vectors);
            // Checked before the cast: the set has 8 bits.
            if (s->conditions < 0 || s->conditions > 255)
                throw bad_input("--conditions " + std::to_string(s->conditions) + " is outside 0..255");
            summation_params p = s->params;
            p.summ_trend_conditions = static_cast<std::uint8_t>(s->conditions);
            if (const auto refusal = p.validate()) throw bad_input("--" + refusal->name + " " + refusal->text);
            check_roots_options(s->roots);
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);
            const int amount = resolve_amount(s->amount, L, decomposition_options(*o));

            p.summ_roots_max = resolve_roots(s->roots, kind, N, L);
            t_summation_invest inv(ts);
            inv.set_treatedvectors(kind);
            inv.set_svd_options(decomposition_options(*o));
            inv.set_L(L);
            if (inv.get_svd()->count() == 0) throw no_component_error();
            inv.set_amount(std::min(amount, inv.get_svd()->count()));
            inv.make_reconstructed();
            const summation_table table = run_summation(inv, p);
            const int n = static_cast<int>(table.results.size());

            // The final decomposition by the automatic marks, as the interactive summation starts.
            const final_decomposition final = decompose_final(inv, table, p.summ_trend_conditions);

            if (o->json) {
                nlohmann::json j;
                j["N"] = N;
                j["L"] = L;
                j["K"] = inv.get_svd()->K();
                j["amount"] = n;
                j["rows"] = nlohmann::json::array();
                for (int k = 0; k < n; ++k) {
                    const auto& texts = table.row_texts[static_cast<size_t>(k)];
                    j["rows"].push_back({{"component", k + 1},
                                         {"texts", std::vector<std::string>(texts.begin(), texts.end())},
                                         {"singular_value", std::sqrt(inv.get_svd()->spectrum()[static_cast<size_t>(k)])},
                                         {"trend", table.is_trend(k, p.summ_trend_conditions)},
                                         {"harmonic", table.is_harmonic(k, p.summ_trend_conditions)}});
                }
                j["final"] = {{"trend", to_json(final.trend.values())},
                              {"periodic", to_json(final.periodic.values())},
                              {"residual", to_json(final.residual.values())}};
                print_json(j);
                return;
            }
            print_text("N = %d, L = %d, K = %d, components tested: %d (%s), trend conditions %d\n", N, L,
                        inv.get_svd()->K(), n, s->vectors.c_str(), s->conditions);
            print_text("thresholds: Kendall %g, Zeros %d (epsilon %g), LowFreq C %g (omega %g), Fourier %d, VYG %g\n",
                        p.summ_kendall, p.summ_roots_max, p.summ_epsilon, p.summ_lowfreq_C, p.summ_omega,
                        p.summ_fourier, p.summ_vyg);
            print_table(table, p, *inv.get_svd());
            const std::string trend = component_list(final.trend_list);
            const std::string periodic = component_list(final.periodic_list);
            print_text("trend components: %s\n", trend.empty() ? "none" : trend.c_str());
            print_text("periodic components: %s\n", periodic.empty() ? "none" : periodic.c_str());
            print_text("%s\t%s\t%s\t%s\n", "t", "trend", "periodic", "residual");
            const std::vector<std::string>* ticks = ts.ticks();
            for (int t = 0; t < N; ++t) {
                const std::string tick = ticks && !(*ticks)[static_cast<size_t>(t)].empty()
                                             ? (*ticks)[static_cast<size_t>(t)]
                                             : std::to_string(t + 1);
                print_text("%s\t%.10g\t%.10g\t%.10g\n", tick.c_str(), final.trend[t], final.periodic[t],
                            final.residual[t]);
            }
        };
    });
}

}  // namespace cli
