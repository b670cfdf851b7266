// Shared plumbing of the kelvane-cli subcommands: loading, checks, output.
#pragma once

#include <nlohmann/json.hpp>

#include <CLI/CLI.hpp>
#include <exception>
#include <iosfwd>
#include <string>
#include <vector>

#include "core/ssa_exception.h"
#include "decomp/svd.h"
#include "invest/investigation.h"
#include "timeseries/ts.h"

namespace cli {

using SSA_math_exception::bad_input;

// Options every subcommand takes.
struct common_options {
    std::string file;
    int L = 0;
    CLI::Option* L_given = nullptr;  // unset or not given: default (N+1)/2
    // --solver and --components of the subcommands that decompose.
    std::string solver = "auto";
    int components = SVD::default_components;
    bool json = false;
    std::string save;
    std::string log;
    // The workbook import's choices (CSV files are one-sheet workbooks).
    t_ts::excel_choice excel;
};

void add_common_options(CLI::App& cmd, common_options& o, bool with_L = true);

// Loads the series and checks it has at least min_values values (3 for a
// decomposition), all finite.
t_ts load_series(const common_options& o, int min_values = 3);

// --solver and --components as decomposition options; throws bad_input for
// another solver word or fewer than 1 component.
SVD::svd_options decomposition_options(const common_options& o);

// The window length asked for, or (N+1)/2; throws bad_input outside 2..N-1
// (--L 0 too: it is no way of asking for the default), and ssa_exception when
// the machine cannot hold the decomposition the options ask for.
int resolve_L(const common_options& o, int N);

// Parses "1,2,5" into 0-based components, each within 1..L and none repeated;
// held: the components the decomposition holds (k when it is truncated).
std::vector<int> parse_group(const std::string& text, int L, int held);

// The refusal when every eigenvalue is zero within rounding (an all-zero series).
bad_input no_component_error();

// "%g" of a number, for messages.
std::string number_text(double v);

// printf onto standard output with a '.' for the decimal point whatever the locale.
void print_text(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// Every option of every subcommand that takes a value refuses an empty one.
void refuse_empty_values(CLI::App& app);

// --vectors: eigen, factor or reconstructed; throws bad_input otherwise.
vector_kind parse_vector_kind(const std::string& s);

// --amount: how many leading components to investigate.
struct amount_option {
    int value = 0;
    CLI::Option* given = nullptr;
};
void add_amount_option(CLI::App& cmd, amount_option& a);
// The amount asked for, or every component the decomposition of window L
// holds (L, or k when it is truncated); throws bad_input outside 1..L or above k.
int resolve_amount(const amount_option& a, int L, const SVD::svd_options& options);

// The largest number of roots of a trend vector: an absolute count, or a
// percent of the length of the tested vectors.
struct roots_option {
    std::string count_flag;  // the option of the absolute count
    int count = 0;
    double percent = 5;
    CLI::Option* count_given = nullptr;
    CLI::Option* percent_given = nullptr;
};
void add_roots_options(CLI::App& cmd, roots_option& r, const std::string& count_flag);
// Throws bad_input for both options at once, a negative count or a percent outside [0, 100].
void check_roots_options(const roots_option& r);
// The count, or the percent of the vectors' length (L, K or N by kind), truncated.
int resolve_roots(const roots_option& r, vector_kind kind, int N, int L);

// Diagnostic text of the engine: standard error, so that standard output
// holds the result alone, in text and JSON alike.
std::ostream& diag();

// Component numbers as every output shows them: from 1.
std::vector<int> one_based(const std::vector<int>& components);

void print_json(const nlohmann::json& j);
nlohmann::json to_json(const std::vector<double>& v);
nlohmann::json to_json(const series& s);
std::vector<double> to_vector(const series& s);

// Checks --save and --log while parsing, before any work: a file name must be
// given and a file must be creatable there. what: the failure's first words.
CLI::Validator output_file(const std::string& what);

// Writes the series in the text data format, with further columns, when --save was given.
void save_if_asked(const common_options& o, const t_ts& ts, const cts_columns& more = {});

// Copies an investigation's log file when --log was given.
void copy_log_if_asked(const common_options& o, t_investigation& inv);
// The same for several investigations, their logs one after another.
void copy_logs_if_asked(const common_options& o, const std::vector<t_investigation*>& invs);

// Writes one line about the failure to err and returns the exit status by its
// kind: 1 for bad input, a file or a resource, 130 for a cancelled run, the
// status an internal failure carries (the core's numbered checks keep theirs),
// 1 for anything outside the family.
int report_failure(std::exception_ptr failure, std::ostream& err);

// Draws a progress line on standard error while installed (only on a terminal).
void install_progress(bool enabled);
// Clears the progress line, if one was drawn.
void finish_progress();

}  // namespace cli
