// Every subcommand registers itself on the app and, when chosen, stores the
// work to do in run; main runs it inside one error handler.
#pragma once

#include <CLI/CLI.hpp>
#include <functional>

namespace cli {

void register_info(CLI::App& app, std::function<void()>& run);
void register_decompose(CLI::App& app, std::function<void()>& run);
void register_reconstruct(CLI::App& app, std::function<void()>& run);
void register_forecast(CLI::App& app, std::function<void()>& run);
void register_period(CLI::App& app, std::function<void()>& run);
void register_trend(CLI::App& app, std::function<void()>& run);
void register_summation(CLI::App& app, std::function<void()>& run);
void register_wcor(CLI::App& app, std::function<void()>& run);

}  // namespace cli
