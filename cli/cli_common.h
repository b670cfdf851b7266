// Shared plumbing of the kelvane-cli subcommands: loading, checks, output.
#pragma once

#include <nlohmann/json.hpp>

#include <CLI/CLI.hpp>
#include <stdexcept>
#include <string>
#include <vector>

#include "timeseries/ts.h"

namespace cli {

// A problem with the user's input: reported as one line, exit status 1.
class input_error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Options every subcommand takes.
struct common_options {
    std::string file;
    int L = 0;  // 0: default (N+1)/2
    bool json = false;
    std::string save;
    std::string log;
};

void add_common_options(CLI::App& cmd, common_options& o, bool with_L = true);

// Loads the series and checks it has at least 3 values, all finite.
t_ts load_series(const std::string& path);

// The window length asked for, or (N+1)/2; throws input_error outside 2..N-1.
int resolve_L(const common_options& o, int N);

// Parses "1,2,5" into 0-based components, each within 1..L and none repeated.
std::vector<int> parse_group(const std::string& text, int L);

// Diagnostic text of the engine: standard output normally, standard error
// when standard output carries JSON.
std::ostream& diag(const common_options& o);

void print_json(const nlohmann::json& j);
nlohmann::json to_json(const std::vector<double>& v);
nlohmann::json to_json(const series& s);
std::vector<double> to_vector(const series& s);

// Writes the series in the text data format when --save was given.
void save_if_asked(const common_options& o, const t_ts& ts);

// Draws a progress line on standard error while installed (only on a terminal).
void install_progress(bool enabled);
// Clears the progress line, if one was drawn.
void finish_progress();

}  // namespace cli
