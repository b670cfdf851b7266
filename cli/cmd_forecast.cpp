// forecast: the signal of the series continued by the recurrent formula.
#include <iostream>

#include "app/forecast_doc.h"
#include "cli_common.h"
#include "commands.h"
#include "core/diagnostics.h"
#include "core/hooks.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"

namespace cli {

namespace {

struct forecast_options {
    int points = 0;
    double trend_C = 0.1;
    double trend_omega = 0.08;
    int fourier = 1;
    double rho = 0.65;
    bool no_trend = false;
    bool no_harmonics = false;
};

void check_parameters(const forecast_options& f) {
    // Written so that NaN fails every range.
    if (f.points < 1) throw input_error("--points " + std::to_string(f.points) + " must be at least 1");
    if (f.points > max_forecast_points)
        throw input_error("--points " + std::to_string(f.points) + " is above the largest forecast of " +
                          std::to_string(max_forecast_points) + " values");
    if (!(f.trend_C >= 0 && f.trend_C <= 1)) throw input_error("--trend-C " + number_text(f.trend_C) + " is outside [0, 1]");
    if (!(f.trend_omega >= 0 && f.trend_omega <= 0.5))
        throw input_error("--trend-omega " + number_text(f.trend_omega) + " is outside [0, 0.5]");
    if (f.fourier < 1) throw input_error("--fourier " + std::to_string(f.fourier) + " must be at least 1");
    if (!(f.rho > 0 && f.rho < 1)) throw input_error("--rho " + number_text(f.rho) + " is outside (0, 1)");
    if (f.no_trend && f.no_harmonics)
        throw input_error("--no-trend and --no-harmonics together leave no signal to forecast");
}

}  // namespace

void register_forecast(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto f = std::make_shared<forecast_options>();
    CLI::App* cmd = app.add_subcommand("forecast", "continue the signal of the series by the recurrent formula");
    add_common_options(*cmd, *o);
    cmd->add_option("--points", f->points, "number of values to forecast")->required();
    cmd->add_option("--trend-C", f->trend_C, "LowFreq C of the trend part (default 0.1)");
    cmd->add_option("--trend-omega", f->trend_omega, "LowFreq omega of the trend part (default 0.08)");
    cmd->add_option("--fourier", f->fourier, "Fourier criterion of the harmonic pairs (default 1)");
    cmd->add_option("--rho", f->rho, "VYG threshold of the harmonic pairs (default 0.65)");
    cmd->add_flag("--no-trend", f->no_trend, "leave the trend components out of the signal");
    cmd->add_flag("--no-harmonics", f->no_harmonics, "leave the harmonic components out of the signal");
    cmd->add_option("--save", o->save, "write the signal and its continuation in the text data format")
        ->check(output_file("unable to write data file"));
    cmd->add_option("--log", o->log, "copy the logs of the trend and harmonic investigations to this file")
        ->check(output_file("unable to write log file"));
    cmd->callback([o, f, &run] {
        run = [o, f] {
            check_parameters(*f);
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);

            CForeInvestDoc doc;
            doc.set_ts(ts);
            t_signal_invest& signal = *doc.get_forecast()->get_signal_invest();
            signal.set_trend_C(f->trend_C);
            signal.set_trend_omega(f->trend_omega);
            signal.set_harm_fourier(f->fourier);
            signal.set_harm_rho(f->rho);
            doc.set_use_trend(!f->no_trend);
            doc.set_use_harmonics(!f->no_harmonics);
            signal.set_svd_options(decomposition_options(*o));
            doc.set_L(L);
            doc.set_points(f->points);
            {
                scoped_diagnostic_stream to(diag());
                try {
                    doc.compute_forecast();
                } catch (const SSA_math_exception::ssa_exception&) {
                    // The parts refuse to test no component at all; say why there is none.
                    const SVD::t_svd* svd = signal.get_svd();
                    if (svd && svd->count() == 0)
                        throw no_component_error();
                    throw;
                }
            }

            // The signal is found by its trend and harmonic parts: their logs tell how.
            std::vector<t_investigation*> parts;
            if (!f->no_trend) parts.push_back(&signal.get_trend_part());
            if (!f->no_harmonics) parts.push_back(&signal.get_harm_part());
            copy_logs_if_asked(*o, parts);

            const t_RSSA_signal_forecast& forecast = *doc.get_forecast();
            t_ts saved = forecast.get_forecast_ts();
            saved.set_title("Forecast of " + (ts.title().empty() ? o->file : ts.title()));
            save_if_asked(*o, saved);

            if (forecast.grows())
                notify(format_text("the largest characteristic root of the recurrence has modulus %.10g: the "
                                   "forecast grows without bound",
                                   forecast.get_root_modulus()),
                       "Warning", notify_icon::warning);
            const std::vector<int> components = one_based(signal.get_signal_components());
            if (o->json) {
                nlohmann::json j;
                j["N"] = N;
                j["L"] = L;
                j["signal_components"] = components;
                j["lrf"] = to_json(forecast.get_lrf());
                j["root_modulus"] = forecast.get_root_modulus();
                j["signal"] = to_json(signal.get_signal().values());
                j["forecast"] = to_json(forecast.get_forecast_ts().values());
                print_json(j);
                return;
            }
            print_text("%s\n", doc.header_text().c_str());
            const t_ts& y = forecast.get_forecast_ts();
            for (int i = N; i < y.size(); ++i) print_text("%d\t%.10g\n", i + 1, y[i]);
        };
    });
}

}  // namespace cli
