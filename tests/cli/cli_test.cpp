// Runs the kelvane-cli binary as a user would and checks its output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
#include <numeric>
#include <string>

namespace {

struct result {
    int status;
    std::string out;
    std::string err;
};

// dir: the working directory of the run, when given.
result run(const std::string& args, const std::string& dir = "") {
    // ctest runs the tests of this binary in parallel processes.
    const std::string err_file = testing::TempDir() + "cli_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string cmd =
        (dir.empty() ? "" : "cd " + dir + " && ") + std::string(KELVANE_CLI) + " " + args + " 2>" + err_file;
    FILE* p = popen(cmd.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    const int status = pclose(p);
    std::ifstream in(err_file);
    std::string err((std::istreambuf_iterator<char>(in)), {});
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, err};
}

nlohmann::json run_json(const std::string& args, const std::string& dir = "") {
    const result r = run(args + " --json", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    return nlohmann::json::parse(r.out);
}

const std::string co2 = std::string(KELVANE_DATA) + "/co2.dat";

using values = std::vector<double>;

values co2_values() { return run_json("info " + co2)["values"].get<values>(); }

double mean(const double* from, size_t n) { return std::accumulate(from, from + n, 0.0) / static_cast<double>(n); }

// The co2 reconstruction of a JSON list of 1-based components.
values reconstruction(const nlohmann::json& components) {
    std::string group;
    for (const auto& c : components) group += (group.empty() ? "" : ",") + std::to_string(c.get<int>());
    return run_json("reconstruct " + co2 + " --L 24 --group " + group)["series"].get<values>();
}

// A directory of its own for a run that writes log files: every kelvane-cli
// process numbers them from filelog0.log in its working directory.
std::string private_dir(const std::string& name) {
    const std::string dir = testing::TempDir() + name + std::to_string(getpid());
    EXPECT_EQ(system(("rm -rf " + dir + " && mkdir " + dir).c_str()), 0);
    return dir;
}

bool logs_left(const std::string& dir) { return system(("ls " + dir + "/filelog* >/dev/null 2>&1").c_str()) == 0; }

}  // namespace

TEST(Cli, DecompositionEigenvaluesAndReconstructionsAddUp) {
    const auto d = run_json("decompose " + co2 + " --L 24");
    const auto eigenvalues = d["eigenvalues"].get<values>(), shares = d["contributions"].get<values>();
    ASSERT_EQ(eigenvalues.size(), 24u);
    EXPECT_TRUE(std::is_sorted(eigenvalues.rbegin(), eigenvalues.rend()));
    EXPECT_NEAR(std::accumulate(shares.begin(), shares.end(), 0.0), 1, 1e-12);

    nlohmann::json all;
    for (int c = 1; c <= 24; ++c) all.push_back(c);
    const auto series = reconstruction(all);
    const values y = co2_values();
    ASSERT_EQ(series.size(), y.size());
    for (size_t t = 0; t < y.size(); ++t) EXPECT_NEAR(series[t], y[t], 1e-9 * 366.84) << t;

    EXPECT_EQ(run_json("decompose " + std::string(KELVANE_DATA) + "/nottem.dat")["L"], (240 + 1) / 2);
}

TEST(Cli, BadInputGivesOneLineAndFailure) {
    // Every run in a directory of its own: a failing forecast may leave log files.
    const std::string dir = private_dir("cli_bad_");
    std::ofstream(dir + "/comments.dat") << "# only\n# comments\n";
    std::ofstream(dir + "/huge.dat") << "1\n2\n1e400\n4\n";
    std::ofstream(dir + "/two.dat") << "1\n2\n";
    std::ofstream(dir + "/zero.dat") << "0\n0\n0\n0\n0\n0\n";
    const std::string c = co2 + " --L 24 ";
    for (const auto& [args, says] : std::vector<std::pair<std::string, std::string>>{
             {"info missing.dat", "unable to open data file"},
             {"info comments.dat", "no values"},
             {"decompose huge.dat", "line 3"},
             {"decompose two.dat", "at least 3"},
             {"decompose " + co2 + " --L 468", "outside 2..467"},
             {"reconstruct " + c + "--group 25", "outside 1..24"},
             {"reconstruct " + c + "--group 2,2", "twice"},
             {"decompose " + co2 + " --L abc", "--L"},
             {"nonsense " + co2, "nonsense"},
             {"trend " + c + "--alpha 0", "--alpha 0 is outside (0, 1]"},
             {"trend " + c + "--maxroots 2 --roots-percent 5", "exclude each other"},
             {"period " + c + "--range 13:11", "--range 13:11"},
             {"summation " + c + "--conditions 256", "--conditions 256 is outside 0..255"},
             {"forecast " + co2, "--points is required"},
             {"forecast " + c + "--points 3 --no-trend --no-harmonics", "leave no signal"},
             {"forecast zero.dat --points 3", "no component to test"},
         }) {
        const result r = run(args, dir);
        EXPECT_NE(r.status, 0) << args;
        EXPECT_NE(r.err.find(says), std::string::npos) << args << " -> " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, PeriodFindsTheYearlyHarmonicAndItsOvertonesInCo2) {
    const result r = run("period " + co2 + " --L 24 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);  // stdout holds the object alone
    EXPECT_NE(r.err.find("char.pol.: v="), std::string::npos);  // diagnostics went to stderr
    ASSERT_EQ(j["periods"].size(), j["pairs"].size());
    EXPECT_EQ(j["pairs"][0], nlohmann::json({2, 3}));
    for (double overtone : {12.0, 6.0, 3.0}) {
        bool found = false;
        for (size_t p = 0; p < j["pairs"].size(); ++p)
            found = found || (j["pairs"][p][0] != j["pairs"][p][1] &&
                              std::fabs(j["periods"][p].get<double>() - overtone) < 0.02 * overtone);
        EXPECT_TRUE(found) << overtone;
    }
    // The periodic part is the reconstruction of the listed components, each once.
    const auto rec = reconstruction(j["components"]);
    ASSERT_EQ(j["periodic"].size(), 468u);
    for (size_t t = 0; t < 468; ++t) EXPECT_NEAR(j["periodic"][t].get<double>(), rec[t], 1e-9) << t;

    const auto one = run_json("period " + co2 + " --L 24 --goal 2 --estimation periodogr --vectors factor");
    EXPECT_EQ(one["pairs"], nlohmann::json::parse("[[2,3]]"));
    EXPECT_EQ(one["periods"][0], 12.0);
}

TEST(Cli, TrendIsItsComponentsReconstructionAndFollowsTheSeries) {
    const std::string dir = private_dir("cli_trend_");
    const auto j = run_json("trend " + co2 + " --L 24 --save trend.dat", dir);
    EXPECT_FALSE(logs_left(dir));
    ASSERT_FALSE(j["components"].empty());
    EXPECT_EQ(j["components"][0], 1);  // numbered from 1
    const values trend = j["trend"].get<values>(), y = co2_values(), series = reconstruction(j["components"]);
    ASSERT_EQ(trend.size(), 468u);
    for (size_t t = 0; t < 468; ++t) EXPECT_DOUBLE_EQ(series[t], trend[t]) << t;
    EXPECT_NEAR(mean(trend.data(), 468), mean(y.data(), 468), 0.02 * mean(y.data(), 468));
    EXPECT_EQ(run_json("info " + dir + "/trend.dat")["ticks"][0], "1959.00");

    // The roots threshold is 5 % of the vectors' length, truncated: 24 -> 1, 468 -> 23; 10 % of 445 -> 44.
    for (const auto& [args, header] : std::vector<std::pair<std::string, std::string>>{
             {"", "M=24, maxroots=1, epsilon=0.0001 ***"},
             {"--vectors reconstructed", "M=468, maxroots=23, epsilon=0.0001 ***"},
             {"--vectors factor --roots-percent 10", "M=445, maxroots=44, epsilon=0.0001 ***"},
         }) {
        ASSERT_EQ(run("trend " + co2 + " --L 24 --method roots --log copied.log " + args, dir).status, 0) << args;
        std::ifstream in(dir + "/copied.log");
        std::string first;
        std::getline(in, first);
        EXPECT_EQ(first, "*** Trend identification by Roots method, " + header);
    }
    EXPECT_FALSE(logs_left(dir));
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, ForecastContinuesTwoHarmonicsToTheirTrueValues) {
    auto two_harmonics = [](int t) { return 3 * std::cos(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 4); };
    const std::string dir = private_dir("cli_forecast_");
    std::ofstream data(dir + "/harmonics.dat");
    data.precision(17);
    for (int t = 0; t < 239; ++t) data << two_harmonics(t) << '\n';
    data.close();

    const auto j = run_json("forecast harmonics.dat --L 48 --points 50", dir);
    EXPECT_EQ(j["signal_components"], nlohmann::json({1, 2, 3, 4}));
    EXPECT_EQ(j["lrf"].size(), 47u);
    ASSERT_EQ(j["forecast"].size(), 289u);
    for (int t = 0; t < 239; ++t) EXPECT_EQ(j["forecast"][t], j["signal"][t]) << t;
    for (int t = 239; t < 289; ++t) EXPECT_NEAR(j["forecast"][t].get<double>(), two_harmonics(t), 1e-6) << t;
    EXPECT_FALSE(logs_left(dir));

    // Text output: the header and one tab-separated line per forecast point, numbered on.
    const result r = run("forecast harmonics.dat --L 48 --points 3", dir);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4) << r.out;
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1, 4), "240\t");
    // Period 12 lies just above omega 0.08; a larger omega takes that pair as trend.
    EXPECT_EQ(run_json("forecast harmonics.dat --L 48 --points 3 --no-harmonics --trend-omega 0.1", dir)
                  ["signal_components"],
              nlohmann::json({1, 2}));
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, SummationSplitsCo2IntoTrendAndYearlyCycle) {
    const auto j = run_json("summation " + co2 + " --L 24");
    ASSERT_EQ(j["rows"].size(), 24u);
    EXPECT_EQ(j["rows"][0]["trend"], true);
    EXPECT_EQ(j["rows"][1]["harmonic"], true);  // the yearly pair
    EXPECT_EQ(j["rows"][2]["harmonic"], true);

    const values y = co2_values(), trend = j["final"]["trend"].get<values>(),
                 periodic = j["final"]["periodic"].get<values>(), residual = j["final"]["residual"].get<values>();
    ASSERT_TRUE(trend.size() == 468 && periodic.size() == 468 && residual.size() == 468);
    double lag12 = 0, lag6 = 0, square = 0;
    for (size_t t = 0; t < 468; ++t) {
        // Trend and harmonic exclude each other under 135: every component is in one part.
        EXPECT_NEAR(trend[t] + periodic[t] + residual[t], y[t], 1e-9 * 400);
        square += periodic[t] * periodic[t];
        lag12 += t + 12 < 468 ? periodic[t] * periodic[t + 12] : 0;
        lag6 += t + 6 < 468 ? periodic[t] * periodic[t + 6] : 0;
    }
    EXPECT_GT(lag12 / square, 0.8);  // a 12-month cycle, opposite after 6
    EXPECT_LT(lag6 / square, -0.5);
    for (size_t m = 0; m < 468; m += 12)  // the trend follows the level year by year
        EXPECT_NEAR(mean(&trend[m], 12), mean(&y[m], 12), 0.5) << m;

    const auto all = run_json("summation " + co2 + " --L 24 --amount 6 --conditions 0 --vectors factor");
    ASSERT_EQ(all["rows"].size(), 6u);
    for (const auto& row : all["rows"]) EXPECT_EQ(row["trend"], true);
    for (const auto& v : all["final"]["periodic"]) EXPECT_EQ(v.get<double>(), 0.0);
}

TEST(Cli, InfoShowsSeriesTooShortForADecomposition) {
    const std::string dir = private_dir("cli_short_");
    std::ofstream(dir + "/one.dat") << "7\n";
    std::ofstream(dir + "/two.dat") << "1\n2\n";
    EXPECT_EQ(run_json("info one.dat", dir)["values"], nlohmann::json({7.0}));
    EXPECT_EQ(run_json("info two.dat", dir)["N"], 2);
    const result r = run("info two.dat", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("N: 2\n"), std::string::npos) << r.out;
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, EdgesOfTheOptions) {
    const std::string dir = private_dir("cli_edges_");
    std::ofstream(dir + "/zero.dat") << "0\n0\n0\n0\n0\n0\n";
    // Refused before anything is loaded or decomposed: the file need not exist.
    for (const std::string points : {"1000001", "2000000000", "2147483647"}) {
        const result r = run("forecast missing.dat --points " + points, dir);
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, "kelvane-cli: --points " + points + " is above the largest forecast of 1000000 values\n");
    }
    const result zero = run("period zero.dat", dir);
    EXPECT_EQ(zero.status, 1);
    EXPECT_NE(zero.err.find("no component to test"), std::string::npos) << zero.err;
    EXPECT_EQ(std::count(zero.err.begin(), zero.err.end(), '\n'), 1) << zero.err;

    // --no-progress after the subcommand, as the README shows it.
    for (const std::string& args : {"info " + co2 + " --no-progress", "decompose " + co2 + " --L 24 --no-progress"})
        EXPECT_EQ(run(args, dir).status, 0) << args;
    EXPECT_FALSE(logs_left(dir));
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, PeriodEstimatorsWriteTheirDiagnosticsToStandardError) {
    for (const std::string estimation : {"charroots", "periodogr"}) {
        const result r = run("period " + co2 + " --L 24 --estimation " + estimation);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.find("char.pol."), std::string::npos) << r.out;
        EXPECT_EQ(r.out.find("getperiod"), std::string::npos) << r.out;
        EXPECT_NE(r.err.find(estimation == "charroots" ? "char.pol.: v=" : "series::getperiod_periodogr()"),
                  std::string::npos)
            << r.err;
        // Standard output is the result alone: the header line first.
        EXPECT_EQ(r.out.rfind("N = 468, L = 24", 0), 0u) << r.out;
    }
}

TEST(Cli, ForecastCopiesTheLogsOfItsParts) {
    const std::string dir = private_dir("cli_forecast_log_");
    const result r = run("forecast " + co2 + " --L 24 --points 3 --log forecast.log", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    std::ifstream in(dir + "/forecast.log");
    const std::string log((std::istreambuf_iterator<char>(in)), {});
    // The trend part's LowFreq lines, then the harmonic part's VYG constraint.
    const size_t trend = log.find("LowFreq"), harmonic = log.find("*** VYG constraint");
    EXPECT_NE(trend, std::string::npos) << log;
    EXPECT_NE(harmonic, std::string::npos) << log;
    EXPECT_LT(trend, harmonic);
    EXPECT_FALSE(logs_left(dir));
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, SummationDecomposesOnce) {
    // Progress is drawn on a terminal only: run under a pseudo-terminal and
    // count how often the lag-covariance stage completes.
    const std::string cmd = "script -qec '" + std::string(KELVANE_CLI) + " summation " + co2 + " --L 24 >/dev/null' /dev/null";
    FILE* p = popen(cmd.c_str(), "r");
    ASSERT_NE(p, nullptr);
    std::string out;
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
    EXPECT_EQ(pclose(p), 0);
    size_t count = 0;
    for (size_t at = out.find("lag-covariance 100%"); at != std::string::npos; at = out.find("lag-covariance 100%", at + 1))
        ++count;
    EXPECT_EQ(count, 1u) << out;
}
