// Helpers shared by the model tests.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "core/matrix.h"
#include "core/number_text.h"
#include "core/ssa_exception.h"
#include "timeseries/ts.h"

// The number at the start of text (blanks skipped), NaN when there is none.
inline double leading_number(const std::string& text) {
    const size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos) return NAN;
    double v = NAN;
    return read_decimal(text.data() + at, text.data() + text.size(), v) == text.data() + at ? NAN : v;
}

inline std::string slurp(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// The message of the E that f throws; another exception type escapes the test.
template <class E = SSA_math_exception::ssa_exception>
std::string thrown(const std::function<void()>& f) {
    try {
        f();
    } catch (const E& e) {
        return e.message;
    }
    return "nothing thrown";
}

// "kind: message" of the failure f throws ("internal 12: ..." with its status), as the top levels report it.
inline std::string failure_of(const std::function<void()>& f) {
    using SSA_math_exception::failure_kind;
    try {
        f();
    } catch (const SSA_math_exception::ssa_exception& e) {
        switch (e.kind()) {
        case failure_kind::bad_input: return "bad input: " + e.message;
        case failure_kind::file: return "file: " + e.message;
        case failure_kind::resource: return "resource: " + e.message;
        case failure_kind::cancelled: return "cancelled: " + e.message;
        case failure_kind::internal:
            return "internal " + std::to_string(dynamic_cast<const SSA_math_exception::internal_error&>(e).status) +
                   ": " + e.message;
        }
    }
    return "nothing thrown";
}

// "file: message" of a refused load, or "loaded"; a refused load must leave the series as it was.
inline std::string load_error(const std::string& path, const excel_choice& choice = {}) {
    t_ts ts(std::vector<double>{1});
    try {
        ts.load(path, choice);
    } catch (const SSA_math_exception::file_exception& e) {
        return (ts.size() == 1 ? "" : "series changed: ") + e.file_name + ": " + e.message;
    }
    return "loaded";
}

inline matrix from_columns(const std::vector<std::vector<double>>& cols) {
    matrix m(static_cast<int>(cols[0].size()), static_cast<int>(cols.size()));
    for (int j = 0; j < m.cols(); ++j)
        for (int t = 0; t < m.rows(); ++t) m.set(cols[j][t], t, j);
    return m;
}

inline std::vector<double> values_of(const t_ts& ts) {
    return std::vector<double>(ts.values().data(), ts.values().data() + ts.size());
}

// f(t) for t = 0..n-1.
inline t_ts sampled(int n, const std::function<double(int)>& f) {
    std::vector<double> v(n);
    for (int t = 0; t < n; ++t) v[t] = f(t);
    return t_ts(v);
}

// f(t) plus normal noise of deviation sd from a fixed generator.
inline std::vector<double> with_noise(int n, unsigned seed, double sd, const std::function<double(int)>& f) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> noise(0, sd);
    std::vector<double> v(n);
    for (int t = 0; t < n; ++t) v[t] = f(t) + noise(gen);
    return v;
}

// A file of the project's data directory.
inline t_ts data_series(const std::string& name) {
    t_ts ts;
    ts.load(std::string(KELVANE_DATA) + "/" + name);
    return ts;
}

// A trend, a period-6 harmonic and an irregular term.
inline t_ts sample_series(int n) {
    return sampled(n, [](int t) { return 10 + 0.5 * t + 3 * std::sin(2 * M_PI * t / 6) + std::cos(1.3 * t * t); });
}

// A rising trend, harmonics of periods 12 and 35 and uniform noise from a fixed generator.
inline t_ts trend_harmonics_noise(int N) {
    std::uint64_t state = 20261206;
    return sampled(N, [&](int t) {
        state = state * 6364136223846793005ULL + 1442695040888963407ULL;
        const double noise = static_cast<double>(state >> 11) / 9007199254740992.0 * 2 - 1;
        return 5 + 0.002 * t + 3 * std::sin(2 * M_PI * t / 12) + 1.5 * std::sin(2 * M_PI * t / 35.0 + 1) + 0.5 * noise;
    });
}

// A fresh scratch directory per test.
class scratch : public testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = testing::TempDir() + "kelvane_XXXXXX";
        dir = mkdtemp(tmpl.data());
    }
    void TearDown() override { std::system(("rm -rf '" + dir + "'").c_str()); }
    std::string file(const std::string& name, const std::string& text = "x") {
        const std::string p = dir + "/" + name;
        std::ofstream(p) << text;
        return p;
    }

    std::string dir;
};
