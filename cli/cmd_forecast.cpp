// forecast: the signal of the series continued by the recurrent formula.
#include <iostream>

#include "cli_common.h"
#include "commands.h"
#include "core/hooks.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "invest/forecast.h"

namespace cli {

namespace {

struct forecast_options {
    forecast_params params;
    bool no_trend = false;
    bool no_harmonics = false;
    std::string method = "recurrent";
    CLI::Option* intervals = nullptr;
};

forecast_method parse_method(const std::string& s) {
    if (s == "recurrent") return forecast_method::recurrent;
    if (s == "vector") return forecast_method::vector;
    throw bad_input("--method must be recurrent or vector, not '" + s + "'");
}

}  // namespace

void register_forecast(CLI::App& app, std::function<void()>& run) {
    auto o = std::make_shared<common_options>();
    auto f = std::make_shared<forecast_options>();
    CLI::App* cmd = app.add_subcommand("forecast", "continue the signal of the series by the recurrent formula");
    add_common_options(*cmd, *o);
    cmd->add_option("--points", f->params.forecast_points, "number of values to forecast")->required();
    cmd->add_option("--trend-C", f->params.trend_C, "LowFreq C of the trend part (default 0.1)");
    cmd->add_option("--trend-omega", f->params.trend_omega, "LowFreq omega of the trend part (default 0.08)");
    cmd->add_option("--fourier", f->params.harm_fourier, "Fourier criterion of the harmonic pairs (default 1)");
    cmd->add_option("--rho", f->params.harm_rho, "VYG threshold of the harmonic pairs (default 0.65)");
    cmd->add_flag("--no-trend", f->no_trend, "leave the trend components out of the signal");
    cmd->add_flag("--no-harmonics", f->no_harmonics, "leave the harmonic components out of the signal");
    cmd->add_option("--method", f->method, "recurrent or vector (default recurrent)");
    f->intervals = cmd->add_option("--intervals", f->params.level,
                                   "bootstrap prediction intervals at this level, strictly between 0 and 1");
    cmd->add_option("--replicates", f->params.replicates, "bootstrap replicates of the intervals (default 200)")
        ->needs(f->intervals);
    cmd->add_option("--save", o->save, "write the signal and its continuation in the text data format")
        ->check(output_file("unable to write data file"));
    cmd->add_option("--log", o->log, "copy the logs of the trend and harmonic investigations to this file")
        ->check(output_file("unable to write log file"));
    cmd->callback([o, f, &run] {
        run = [o, f] {
            forecast_params p = f->params;
            p.forecast_trend = !f->no_trend;
            p.forecast_harmonics = !f->no_harmonics;
            p.method = parse_method(f->method);
            p.intervals = f->intervals->count() > 0;
            if (const auto refusal = p.validate()) throw bad_input("--" + refusal->name + " " + refusal->text);
            const t_ts ts = load_series(*o);
            const int N = ts.size();
            const int L = resolve_L(*o, N);

            p.forecast_L = L;
            t_RSSA_signal_forecast forecast(ts);
            t_signal_invest& signal = *forecast.get_signal_invest();
            signal.set_svd_options(decomposition_options(*o));
            try {
                run_forecast(forecast, p);
            } catch (const SSA_math_exception::ssa_exception&) {
                // The parts refuse to test no component at all; say why there is none.
                const SVD::t_svd* svd = signal.get_svd();
                if (svd && svd->count() == 0) throw no_component_error();
                throw;
            }

            // The signal is found by its trend and harmonic parts: their logs tell how.
            std::vector<t_investigation*> parts;
            if (!f->no_trend) parts.push_back(&signal.get_trend_part());
            if (!f->no_harmonics) parts.push_back(&signal.get_harm_part());
            copy_logs_if_asked(*o, parts);

            const std::string title = "Forecast of " + (ts.title().empty() ? o->file : ts.title());
            save_if_asked(*o, forecast_series(forecast, ts, title), forecast_bounds(forecast));

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
                if (p.intervals) {
                    j["lower"] = to_json(forecast.get_lower());
                    j["upper"] = to_json(forecast.get_upper());
                }
                print_json(j);
                return;
            }
            print_text("%s\n", forecast_header_text(forecast).c_str());
            const t_ts& y = forecast.get_forecast_ts();
            for (int i = N; i < y.size(); ++i) {
                print_text("%d\t%.10g", i + 1, y[i]);
                if (p.intervals) print_text("\t%.10g\t%.10g", forecast.get_lower()[i - N], forecast.get_upper()[i - N]);
                print_text("\n");
            }
        };
    });
}

}  // namespace cli
