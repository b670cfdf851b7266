#include "cli_common.h"

#include <unistd.h>

#include <cmath>
#include <iostream>
#include <sstream>

#include "core/hooks.h"
#include "core/ssa_exception.h"

namespace cli {

void add_common_options(CLI::App& cmd, common_options& o, bool with_L) {
    cmd.add_option("FILE", o.file, "data file (text data format)")->required();
    if (with_L) cmd.add_option("--L", o.L, "window length, default (N+1)/2");
    cmd.add_flag("--json", o.json, "print one JSON object on standard output");
}

t_ts load_series(const std::string& path) {
    t_ts ts;
    ts.load(path);
    if (ts.size() == 0) throw input_error("no values in data file " + path);
    if (ts.size() < 3) throw input_error("data file " + path + " holds " + std::to_string(ts.size()) +
                                         " values; at least 3 are needed for a decomposition");
    return ts;
}

int resolve_L(const common_options& o, int N) {
    const int L = o.L == 0 ? (N + 1) / 2 : o.L;
    if (L < 2 || L > N - 1)
        throw input_error("window length L = " + std::to_string(L) + " is outside 2.." + std::to_string(N - 1) +
                          " (N = " + std::to_string(N) + ")");
    return L;
}

std::vector<int> parse_group(const std::string& text, int L) {
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
        if (used == 0 || used != item.size()) throw input_error("group item '" + item + "' is not a component number");
        if (c < 1 || c > L)
            throw input_error("component " + std::to_string(c) + " is outside 1.." + std::to_string(L));
        for (int g : group)
            if (g == c - 1) throw input_error("component " + std::to_string(c) + " is listed twice in the group");
        group.push_back(c - 1);
    }
    if (group.empty()) throw input_error("the group lists no component");
    return group;
}

std::ostream& diag(const common_options& o) { return o.json ? std::cerr : std::cout; }

void print_json(const nlohmann::json& j) { std::cout << j.dump() << std::endl; }

nlohmann::json to_json(const std::vector<double>& v) { return nlohmann::json(v); }

std::vector<double> to_vector(const series& s) { return std::vector<double>(s.data(), s.data() + s.size()); }

nlohmann::json to_json(const series& s) { return nlohmann::json(to_vector(s)); }

void save_if_asked(const common_options& o, const t_ts& ts) {
    if (!o.save.empty()) save_cts(o.save, ts);
}

namespace {
bool progress_shown = false;
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
