// summation: every test on every leading component, and the final
// decomposition into trend, periodic part and residual by the verdicts.
#include <cmath>
#include <cstdio>

#include "app/decomp_result_doc.h"
#include "app/summ_interact_doc.h"
#include "app/summation_doc.h"
#include "app/text_format.h"
#include "cli_common.h"
#include "commands.h"

namespace cli {

namespace {

struct summation_options {
    amount_option amount;
    std::string vectors = "eigen";
    int conditions = 135;
    double epsilon = 0.0001;
    double omega = 0.075;
    int fourier = 1;
    double kendall = 0.05;
    double lowfreq_C = 0.1;
    roots_option roots;
    double vyg = 0.7;
};

void check_parameters(const summation_options& s) {
    // Written so that NaN fails every range.
    if (s.conditions < 0 || s.conditions > 255)
        throw input_error("--conditions " + std::to_string(s.conditions) + " is outside 0..255");
    if (!(s.epsilon >= 0 && std::isfinite(s.epsilon)))
        throw input_error("--epsilon " + number_text(s.epsilon) + " must be a finite number of at least 0");
    if (!(s.omega >= 0 && s.omega <= 0.5))
        throw input_error("--omega " + number_text(s.omega) + " is outside [0, 0.5]");
    if (s.fourier < 0) throw input_error("--fourier " + std::to_string(s.fourier) + " is negative");
    if (!(s.kendall > 0 && s.kendall <= 1))
        throw input_error("--kendall " + number_text(s.kendall) + " is outside (0, 1]");
    if (!(s.lowfreq_C >= 0 && s.lowfreq_C <= 1))
        throw input_error("--lowfreq-C " + number_text(s.lowfreq_C) + " is outside [0, 1]");
    if (!(s.vyg >= 0 && s.vyg <= 1)) throw input_error("--vyg " + number_text(s.vyg) + " is outside [0, 1]");
    check_roots_options(s.roots);
}

void print_table(const CSummationInvestDoc& doc) {
    print_text("%-11s %-10s %-8s %-10s %-18s %-10s %-16s %s\n", "Component #", "TR:Kendall", "TR:Zeros",
                "TR:LowFreq", "PER:Fourier", "PER:VYG", "Singular values", "T/H");
    for (int k = 0; k < doc.components(); ++k) {
        const char* mark = doc.is_trend(k) ? "T" : doc.is_harmonic(k) ? "H" : "";
        print_text("%-11s %-10s %-8s %-10s %-18s %-10s %-16s %s\n", doc.cell_text(k, 0).c_str(),
                    doc.cell_text(k, 1).c_str(), doc.cell_text(k, 2).c_str(), doc.cell_text(k, 3).c_str(),
                    doc.cell_text(k, 4).c_str(), doc.cell_text(k, 5).c_str(), doc.cell_text(k, 7).c_str(), mark);
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
    cmd->add_option("--epsilon", s->epsilon, "Zeros: steps up to epsilon make no root (default 0.0001)");
    cmd->add_option("--omega", s->omega, "LowFreq: upper end of the low frequencies (default 0.075)");
    cmd->add_option("--fourier", s->fourier, "Fourier: largest distance of paired peaks, in units of 1/L (default 1)");
    cmd->add_option("--kendall", s->kendall, "Kendall: trend when the p-level is below it (default 0.05)");
    cmd->add_option("--lowfreq-C", s->lowfreq_C, "LowFreq: smallest low-frequency share of a trend (default 0.1)");
    add_roots_options(*cmd, s->roots, "--roots-max");
    cmd->add_option("--vyg", s->vyg, "VYG: a pair's rho must be above it (default 0.7)");
    cmd->callback([o, s, &run] {
        run = [o, s] {
            const vector_kind kind = parse_vector_kind(s->vectors);
            check_parameters(*s);
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);
            const int amount = resolve_amount(s->amount, L, decomposition_options(*o));

            CSummationInvestDoc doc(ts);
            doc.set_summ_epsilon(s->epsilon);
            doc.set_summ_omega(s->omega);
            doc.set_summ_fourier(s->fourier);
            doc.set_summ_kendall(s->kendall);
            doc.set_summ_lowfreq_C(s->lowfreq_C);
            doc.set_summ_roots_max(resolve_roots(s->roots, kind, N, L));
            doc.set_summ_vyg(s->vyg);
            doc.set_summ_trend_conditions(static_cast<std::uint8_t>(s->conditions));
            t_summation_invest& inv = doc.get_investigation();
            inv.set_treatedvectors(kind);
            inv.set_svd_options(decomposition_options(*o));
            inv.set_L(L);
            if (inv.get_svd()->count() == 0) throw no_component_error();
            inv.set_amount(std::min(amount, inv.get_svd()->count()));
            // start_investigation would decompose again for the same L: build on the one made above.
            inv.make_reconstructed();
            doc.compute_tables();

            // The final decomposition by the automatic marks, as the interactive summation starts.
            CSummInteractDoc interact;
            interact.init(&doc);
            const std::unique_ptr<CDecompResultDoc> final = make_final_decomposition(interact);

            if (o->json) {
                nlohmann::json j;
                j["N"] = N;
                j["L"] = L;
                j["K"] = inv.get_svd()->K();
                j["amount"] = doc.components();
                j["rows"] = nlohmann::json::array();
                for (int k = 0; k < doc.components(); ++k) {
                    const auto& texts = doc.get_row_texts()[static_cast<size_t>(k)];
                    j["rows"].push_back({{"component", k + 1},
                                         {"texts", std::vector<std::string>(texts.begin(), texts.end())},
                                         {"singular_value", std::sqrt(inv.get_svd()->spectrum()[static_cast<size_t>(k)])},
                                         {"trend", doc.is_trend(k)},
                                         {"harmonic", doc.is_harmonic(k)}});
                }
                j["final"] = {{"trend", to_json(final->get_trend()->values())},
                              {"periodic", to_json(final->get_periodic()->values())},
                              {"residual", to_json(final->get_residual()->values())}};
                print_json(j);
                return;
            }
            print_text("N = %d, L = %d, K = %d, components tested: %d (%s), trend conditions %d\n", N, L,
                        inv.get_svd()->K(), doc.components(), s->vectors.c_str(), s->conditions);
            print_text("thresholds: Kendall %g, Zeros %d (epsilon %g), LowFreq C %g (omega %g), Fourier %d, VYG %g\n",
                        doc.get_summ_kendall(), doc.get_summ_roots_max(), doc.get_summ_epsilon(),
                        doc.get_summ_lowfreq_C(), doc.get_summ_omega(), doc.get_summ_fourier(), doc.get_summ_vyg());
            print_table(doc);
            const std::string trend = component_list(final->get_trend_list());
            const std::string periodic = component_list(final->get_periodic_list());
            print_text("trend components: %s\n", trend.empty() ? "none" : trend.c_str());
            print_text("periodic components: %s\n", periodic.empty() ? "none" : periodic.c_str());
            print_text("%s\t%s\t%s\t%s\n", "t", "trend", "periodic", "residual");
            const std::vector<std::string>* ticks = ts.ticks();
            for (int t = 0; t < N; ++t) {
                const std::string tick = ticks && !(*ticks)[static_cast<size_t>(t)].empty()
                                             ? (*ticks)[static_cast<size_t>(t)]
                                             : std::to_string(t + 1);
                print_text("%s\t%.10g\t%.10g\t%.10g\n", tick.c_str(), (*final->get_trend())[t],
                            (*final->get_periodic())[t], (*final->get_residual())[t]);
            }
        };
    });
}

}  // namespace cli
