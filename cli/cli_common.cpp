#include "cli_common.h"

#include <unistd.h>

#include <cmath>
#include <cstdarg>
#include <fstream>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "core/file_replace.h"
#include "core/hooks.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "decomp/svd.h"
#include "excel/excel.h"

namespace cli {

void add_common_options(CLI::App& cmd, common_options& o, bool with_L) {
    cmd.add_option("FILE", o.file, "data file (text data format, workbook .xls/.xlsx/.ods, or CSV/TSV)")->required();
    if (with_L)
        o.L_given = cmd.add_option("--L", o.L, "window length, default (N+1)/2");
    if (with_L) {
        cmd.add_option("--solver", o.solver,
                       "eigen solver: jacobi, fast, truncated or auto (default auto: truncated for L > 2000 "
                       "when fewer components than L are asked for)");
        cmd.add_option("--components", o.components,
                       "eigentriples the truncated solver finds (default 50)");
    }
    cmd.add_flag("--json", o.json, "print one JSON object on standard output");
    cmd.add_option("--sheet", o.excel.sheet, "workbook or CSV: worksheet name or 1-based number (default the first)");
    cmd.add_option("--column", o.excel.column, "workbook or CSV: 1-based data column (default the first holding numbers)")
        ->check(CLI::PositiveNumber);
    cmd.add_option("--ticks-column", o.excel.ticks_column, "workbook or CSV: 1-based tick-mark column")
        ->check(CLI::PositiveNumber);
}

t_ts load_series(const common_options& o, int min_values) {
    const std::string& path = o.file;
    const bool choices = !o.excel.sheet.empty() || o.excel.column != 0 || o.excel.ticks_column != 0;
    if (choices && !names_workbook(path))
        throw bad_input("--sheet, --column and --ticks-column apply to workbooks and CSV/TSV files only, not " + path);
    t_ts ts;
    ts.load(path, o.excel);
    if (ts.size() == 0) throw bad_input("no values in data file " + path);
    if (ts.size() < min_values) throw bad_input("data file " + path + " holds " + std::to_string(ts.size()) +
                                         " values; at least 3 are needed for a decomposition");
    return ts;
}

SVD::svd_options decomposition_options(const common_options& o) {
    if (o.components < 1)
        throw bad_input("--components " + std::to_string(o.components) + " must be at least 1");
    svd_solver solver = svd_solver::automatic;
    if (o.solver == "jacobi")
        solver = svd_solver::jacobi;
    else if (o.solver == "fast")
        solver = svd_solver::fast;
    else if (o.solver == "truncated")
        solver = svd_solver::truncated;
    else if (o.solver != "auto")
        throw bad_input("--solver must be jacobi, fast, truncated or auto, not '" + o.solver + "'");
    return SVD::svd_options(solver, o.components);
}

int resolve_L(const common_options& o, int N) {
    const int L = o.L_given && *o.L_given ? o.L : (N + 1) / 2;
    if (L < 2 || L > N - 1)
        throw bad_input("window length L = " + std::to_string(L) + " is outside 2.." + std::to_string(N - 1) +
                        " (N = " + std::to_string(N) + ")");
    // Refused here, before the series is copied into investigations, not deep in one of them.
    SVD::check_decomposition_memory(N, L, decomposition_options(o));
    return L;
}

namespace {

bad_input beyond_truncated(const std::string& what, int held) {
    return bad_input(what + " is above the " + std::to_string(held) +
                     " components of the truncated decomposition: raise --components");
}

}  // namespace

std::vector<int> parse_group(const std::string& text, int L, int held) {
    std::vector<int> group;
    std::stringstream ss(text);
    std::string item;
    while (std::getline(ss, item, ',')) {
        size_t used = 0;
        int c = 0;
        try {
            c = std::stoi(item, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used == 0 || used != item.size()) throw bad_input("group item '" + item + "' is not a component number");
        if (c < 1 || c > L)
            throw bad_input("component " + std::to_string(c) + " is outside 1.." + std::to_string(L));
        if (c > held) throw beyond_truncated("component " + std::to_string(c), held);
        for (int g : group)
            if (g == c - 1) throw bad_input("component " + std::to_string(c) + " is listed twice in the group");
        group.push_back(c - 1);
    }
    if (group.empty()) throw bad_input("the group lists no component");
    return group;
}

bad_input no_component_error() {
    return bad_input("no component to test: every eigenvalue of the decomposition is zero within rounding");
}

std::string number_text(double v) { return format_text("%g", v); }

void refuse_empty_values(CLI::App& app) {
    // The parser reads "" as 0, which would run with a value the user never gave.
    const CLI::Validator non_empty([](std::string& s) { return s.empty() ? std::string("a value is needed") : std::string(); },
                                   "");
    for (CLI::App* cmd : app.get_subcommands([](CLI::App*) { return true; }))
        for (CLI::Option* opt : cmd->get_options())
            if (opt->get_type_size_min() > 0) opt->check(non_empty);
}

void print_text(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    const std::string s = format_text_v(fmt, args);
    va_end(args);
    std::fwrite(s.data(), 1, s.size(), stdout);
}

vector_kind parse_vector_kind(const std::string& s) {
    if (s == "eigen") return vk_eigenvectors;
    if (s == "factor") return vk_factor_vectors;
    if (s == "reconstructed") return vk_reconstructed;
    throw bad_input("--vectors must be eigen, factor or reconstructed, not '" + s + "'");
}

void add_amount_option(CLI::App& cmd, amount_option& a) {
    a.given = cmd.add_option("--amount", a.value,
                             "leading components to investigate, default L, or the components held by a "
                             "truncated decomposition (at most the count in use)");
}

int resolve_amount(const amount_option& a, int L, const SVD::svd_options& options) {
    const int held = SVD::truncated_components(options, L);
    if (!*a.given) return held;
    if (a.value < 1 || a.value > L)
        throw bad_input("--amount " + std::to_string(a.value) + " is outside 1.." + std::to_string(L));
    if (a.value > held) throw beyond_truncated("--amount " + std::to_string(a.value), held);
    return a.value;
}

void add_roots_options(CLI::App& cmd, roots_option& r, const std::string& count_flag) {
    r.count_flag = count_flag;
    r.count_given = cmd.add_option(count_flag, r.count, "Roots: largest number of roots of a trend vector");
    r.percent_given = cmd.add_option("--roots-percent", r.percent,
                                     "Roots: that number in percent of the vectors' length (default 5)");
}

void check_roots_options(const roots_option& r) {
    if (*r.count_given && *r.percent_given)
        throw bad_input(r.count_flag + " and --roots-percent exclude each other");
    if (r.count < 0) throw bad_input(r.count_flag + " " + std::to_string(r.count) + " is negative");
    // Written so that NaN fails.
    if (!(r.percent >= 0 && r.percent <= 100))
        throw bad_input("--roots-percent " + number_text(r.percent) + " is outside [0, 100]");
}

int resolve_roots(const roots_option& r, vector_kind kind, int N, int L) {
    if (*r.count_given) return r.count;
    return roots_from_percent(kind, L, N, r.percent, "inside resolve_roots");
}

std::ostream& diag() { return std::cerr; }

std::vector<int> one_based(const std::vector<int>& components) {
    std::vector<int> shown(components);
    for (int& c : shown) ++c;
    return shown;
}

void print_json(const nlohmann::json& j) { std::cout << j.dump() << std::endl; }

nlohmann::json to_json(const std::vector<double>& v) { return nlohmann::json(v); }

std::vector<double> to_vector(const series& s) { return std::vector<double>(s.data(), s.data() + s.size()); }

nlohmann::json to_json(const series& s) { return nlohmann::json(to_vector(s)); }

CLI::Validator output_file(const std::string& what) {
    return CLI::Validator(
        [what](std::string& path) -> std::string {
            if (path.empty()) return "a file name is needed";
            try {
                check_replaceable(path, what);
            } catch (const SSA_math_exception::file_exception& e) {
                return e.message + " : " + path;
            }
            return std::string();
        },
        "FILE");
}

void save_if_asked(const common_options& o, const t_ts& ts, const cts_columns& more) {
    if (!o.save.empty()) save_cts(o.save, ts, more);
}

namespace {
bool progress_shown = false;
}

void copy_log_if_asked(const common_options& o, t_investigation& inv) { copy_logs_if_asked(o, {&inv}); }

void copy_logs_if_asked(const common_options& o, const std::vector<t_investigation*>& invs) {
    if (o.log.empty()) return;
    std::string text;
    for (t_investigation* inv : invs) {
        inv->get_log().flush();
        std::ifstream in(inv->get_log().file_name(), std::ios::binary);
        std::ostringstream part;
        // An empty log would make << fail the stream.
        if (in.peek() != std::ifstream::traits_type::eof()) part << in.rdbuf();
        if (!in) throw SSA_math_exception::file_exception(inv->get_log().file_name(), "unable to read log file");
        text += part.str();
    }
    replace_file(o.log, text, "unable to write log file");
}

int report_failure(std::exception_ptr failure, std::ostream& err) {
    try {
        std::rethrow_exception(failure);
    } catch (const SSA_math_exception::ssa_exception& e) {
        using SSA_math_exception::failure_kind;
        // The core's numbered checks end their messages in a newline of their own.
        std::string text = e.kind() == failure_kind::file
                               ? static_cast<const SSA_math_exception::file_exception&>(e).text()
                               : e.message;
        while (!text.empty() && text.back() == '\n') text.pop_back();
        err << "kelvane-cli: " << text << std::endl;
        switch (e.kind()) {
        case failure_kind::bad_input:
        case failure_kind::file:
        case failure_kind::resource:
            return 1;
        case failure_kind::cancelled:
            return 130;  // as a shell reports an interrupted command
        case failure_kind::internal:
            return static_cast<const SSA_math_exception::internal_error&>(e).status;
        }
    } catch (const std::exception& e) {
        err << "kelvane-cli: internal error: " << e.what() << std::endl;
    } catch (...) {
        err << "kelvane-cli: internal error" << std::endl;
    }
    return 1;
}

void install_progress(bool enabled) {
    if (!enabled || !isatty(STDERR_FILENO)) return;
    progress_shown = true;
    set_progress_hook([](const char* stage, long long done, long long total) {
        static const char spinner[] = "|/-\\";
        if (total > 0) {
            std::cerr << '\r' << stage << ' ' << (100 * done / total) << "%   ";
        } else {
            std::cerr << '\r' << stage << ' ' << spinner[done % 4] << "   ";
        }
        std::cerr.flush();
    });
}

void finish_progress() {
    if (progress_shown) std::cerr << '\r' << std::string(40, ' ') << '\r' << std::flush;
}

}  // namespace cli
