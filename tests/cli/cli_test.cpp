// Runs the kelvane-cli binary as a user would and checks its output.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>
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

const std::string data = KELVANE_DATA;

}  // namespace

TEST(Cli, InfoReadsValuesTicksAndTitle) {
    const auto j = run_json("info " + data + "/co2.dat");
    EXPECT_EQ(j["N"], 468);
    EXPECT_EQ(j["title"], "co2");
    EXPECT_EQ(j["has_ticks"], true);
    EXPECT_EQ(j["values"].size(), 468u);
    EXPECT_EQ(j["ticks"][0], "1959.00");
    EXPECT_EQ(j["values"][0], 315.42);
    EXPECT_EQ(j["max"], 366.84);
}

TEST(Cli, DecompositionEigenvaluesAndReconstructionsAddUp) {
    const std::string co2 = data + "/co2.dat";
    const auto d = run_json("decompose " + co2 + " --L 24");
    EXPECT_EQ(d["K"], 445);
    ASSERT_EQ(d["eigenvalues"].size(), 24u);
    double share = 0;
    for (size_t k = 0; k < 24; ++k) {
        if (k > 0) {
            EXPECT_LE(d["eigenvalues"][k].get<double>(), d["eigenvalues"][k - 1].get<double>());
        }
        EXPECT_NEAR(d["singular_values"][k].get<double>(), std::sqrt(d["eigenvalues"][k].get<double>()), 1e-6);
        share += d["contributions"][k].get<double>();
    }
    EXPECT_NEAR(share, 1, 1e-12);

    std::string all = "1";
    for (int c = 2; c <= 24; ++c) all += "," + std::to_string(c);
    const auto series = run_json("reconstruct " + co2 + " --L 24 --group " + all)["series"];
    const auto values = run_json("info " + co2)["values"];
    ASSERT_EQ(series.size(), values.size());
    for (size_t t = 0; t < values.size(); ++t)
        EXPECT_NEAR(series[t].get<double>(), values[t].get<double>(), 1e-9 * 366.84) << t;
}

TEST(Cli, JsonOutputIsOneObject) {
    const result r = run("decompose " + data + "/nottem.dat --json");
    ASSERT_EQ(r.status, 0);
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["L"], (240 + 1) / 2);  // default window
}

TEST(Cli, SaveWritesTheTextFormat) {
    const std::string out = testing::TempDir() + "cli_saved_" + std::to_string(getpid()) + ".dat";
    std::remove(out.c_str());
    ASSERT_EQ(run("reconstruct " + data + "/airpassengers.dat --L 12 --group 1 --save " + out).status, 0);
    const auto j = run_json("info " + out);
    EXPECT_EQ(j["N"], 144);
    EXPECT_EQ(j["ticks"][0], "1");
    std::remove(out.c_str());
}

TEST(Cli, BadInputGivesOneLineAndFailure) {
    const std::string dir = testing::TempDir() + "cli_bad_" + std::to_string(getpid()) + "_";
    std::ofstream(dir + "comments.dat") << "# only\n# comments\n";
    std::ofstream(dir + "huge.dat") << "1\n2\n1e400\n4\n";
    std::ofstream(dir + "two.dat") << "1\n2\n";
    struct bad {
        std::string args, says;
    };
    const std::string co2 = data + "/co2.dat";
    for (const bad& b : std::vector<bad>{
             {"info " + dir + "missing.dat", "unable to open data file"},
             {"info " + dir + "comments.dat", "no values"},
             {"decompose " + dir + "huge.dat", "line 3"},
             {"decompose " + dir + "two.dat", "at least 3"},
             {"decompose " + co2 + " --L 1", "outside 2..467"},
             {"decompose " + co2 + " --L 468", "outside 2..467"},
             {"reconstruct " + co2 + " --L 24 --group 0", "outside 1..24"},
             {"reconstruct " + co2 + " --L 24 --group 25", "outside 1..24"},
             {"reconstruct " + co2 + " --L 24 --group 2,2", "twice"},
             {"decompose " + testing::TempDir(), "data file"},
             {"decompose " + co2 + " --L abc", "--L"},
             {"decompose", "FILE"},
             {"nonsense " + co2, "nonsense"},
             {"trend " + co2 + " --L 24 --alpha 0", "--alpha 0 is outside (0, 1]"},
             {"trend " + co2 + " --L 24 --omega 0.51", "--omega 0.51 is outside [0, 0.5]"},
             {"trend " + co2 + " --L 24 --C 1.5", "--C 1.5 is outside [0, 1]"},
             {"trend " + co2 + " --L 24 --amount 0", "--amount 0 is outside 1..24"},
             {"trend " + co2 + " --L 24 --maxroots -2", "--maxroots -2 is negative"},
             {"trend " + co2 + " --L 24 --roots-percent 100.5", "--roots-percent 100.5 is outside [0, 100]"},
             {"trend " + co2 + " --L 24 --maxroots 2 --roots-percent 5", "exclude each other"},
             {"trend " + co2 + " --method spline", "kendall, roots or lowfreq"},
             {"trend " + co2 + " --vectors rows", "eigen, factor or reconstructed"},
         }) {
        const result r = run(b.args);
        EXPECT_NE(r.status, 0) << b.args;
        EXPECT_NE(r.err.find(b.says), std::string::npos) << b.args << " -> " << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
        EXPECT_TRUE(r.out.empty()) << r.out;
    }
}

TEST(Cli, PeriodFindsTheYearlyHarmonicAndItsOvertonesInCo2) {
    const std::string co2 = data + "/co2.dat";
    const std::string log = testing::TempDir() + "cli_period_" + std::to_string(getpid()) + ".log";
    const std::string saved = testing::TempDir() + "cli_periodic_" + std::to_string(getpid()) + ".dat";
    const result r = run("period " + co2 + " --L 24 --json --log " + log + " --save " + saved);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);  // stdout holds the object alone
    EXPECT_NE(r.err.find("char.pol.: v="), std::string::npos);  // diagnostics went to stderr
    EXPECT_EQ(j["K"], 445);
    EXPECT_EQ(j["amount"], 24);
    ASSERT_EQ(j["periods"].size(), j["pairs"].size());
    std::vector<double> harmonic_periods;
    for (size_t p = 0; p < j["pairs"].size(); ++p)
        if (j["pairs"][p][0] != j["pairs"][p][1]) harmonic_periods.push_back(j["periods"][p].get<double>());
    EXPECT_EQ(j["pairs"][0], nlohmann::json({2, 3}));
    for (double overtone : {12.0, 6.0, 3.0}) {
        bool found = false;
        for (double p : harmonic_periods) found = found || std::fabs(p - overtone) < 0.02 * overtone;
        EXPECT_TRUE(found) << overtone;
    }
    // The periodic part is the reconstruction of the listed components, each once.
    std::string group;
    for (const auto& c : j["components"]) group += (group.empty() ? "" : ",") + std::to_string(c.get<int>());
    const auto rec = run_json("reconstruct " + co2 + " --L 24 --group " + group)["series"];
    ASSERT_EQ(j["periodic"].size(), 468u);
    for (size_t t = 0; t < 468; ++t) EXPECT_NEAR(j["periodic"][t].get<double>(), rec[t].get<double>(), 1e-9) << t;
    EXPECT_EQ(run_json("info " + saved)["ticks"][0], "1959.00");

    std::ifstream in(log);
    std::string first;
    std::getline(in, first);
    EXPECT_EQ(first, "*** Fourier method for identification \"harmonical\" pairs of components ***");
    std::remove(log.c_str());
    std::remove(saved.c_str());
}

TEST(Cli, PeriodGoalAndEstimationOptionsReachTheInvestigation) {
    const auto j = run_json("period " + data + "/co2.dat --L 24 --goal 2 --estimation periodogr --vectors factor");
    EXPECT_EQ(j["pairs"], nlohmann::json::parse("[[2,3]]"));
    EXPECT_EQ(j["periods"][0], 12.0);
}

TEST(Cli, PeriodRefusesBadOptionsInOneLine) {
    const std::string co2 = "period " + data + "/co2.dat --L 24 ";
    for (const char* bad : {"--range 13:11", "--range 0:13", "--range 12", "--crit 0", "--crit x", "--vyg 1.5",
                            "--min-percent 101", "--max-components 0", "--vyg 0.5 --no-vyg",
                            "--min-percent 1 --max-components 4", "--estimation fft", "--vectors pcs", "--goal 3",
                            "--amount 25", "--vyg 1"}) {
        const result r = run(co2 + bad);
        EXPECT_NE(r.status, 0) << bad;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << bad << " -> " << r.err;
        EXPECT_TRUE(r.out.empty()) << bad << " -> " << r.out;
    }
}

// A directory of its own for a run that writes log files: every kelvane-cli
// process numbers them from filelog0.log in its working directory.
std::string private_dir(const std::string& name) {
    const std::string dir = testing::TempDir() + name + std::to_string(getpid());
    EXPECT_EQ(system(("rm -rf " + dir + " && mkdir " + dir).c_str()), 0);
    return dir;
}

TEST(Cli, TrendFollowsTheSeriesAndIsItsComponentsReconstruction) {
    const std::string co2 = data + "/co2.dat";
    const std::string dir = private_dir("cli_trend_json_");
    const auto j = run_json("trend " + co2 + " --L 24", dir);
    EXPECT_EQ(rmdir(dir.c_str()), 0) << "the log file was left behind";
    EXPECT_EQ(j["N"], 468);
    EXPECT_EQ(j["K"], 445);
    EXPECT_EQ(j["amount"], 24);
    ASSERT_FALSE(j["components"].empty());
    EXPECT_EQ(j["components"][0], 1);  // numbered from 1
    ASSERT_EQ(j["trend"].size(), 468u);

    const auto values = run_json("info " + co2)["values"];
    double trend_mean = 0, mean = 0;
    for (size_t t = 0; t < 468; ++t) {
        trend_mean += j["trend"][t].get<double>() / 468;
        mean += values[t].get<double>() / 468;
    }
    EXPECT_NEAR(trend_mean, mean, 0.02 * mean);

    std::string group;
    for (const auto& c : j["components"]) group += (group.empty() ? "" : ",") + std::to_string(c.get<int>());
    const auto series = run_json("reconstruct " + co2 + " --L 24 --group " + group)["series"];
    for (size_t t = 0; t < 468; ++t) EXPECT_DOUBLE_EQ(series[t].get<double>(), j["trend"][t].get<double>()) << t;
}

TEST(Cli, TrendLogAndSaveFiles) {
    const std::string dir = private_dir("cli_trend_");
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", "LowFreq method, M=24, omega=0.07, C=0.9 ***"},
        // 5 % of the vector length, truncated: 24 -> 1, 468 -> 23; 10 % of 445 -> 44.
        {"--method roots", "Roots method, M=24, maxroots=1, epsilon=0.0001 ***"},
        {"--method roots --vectors reconstructed", "Roots method, M=468, maxroots=23, epsilon=0.0001 ***"},
        {"--method roots --vectors factor --roots-percent 10", "Roots method, M=445, maxroots=44, epsilon=0.0001 ***"},
        {"--method kendall --alpha 0.2 --amount 5", "Kendall method, M=24, alpha=0.2 ***"},
    };
    for (const auto& [args, header] : cases) {
        const result r = run("trend " + data + "/co2.dat --L 24 --log copied.log --save trend.dat " + args, dir);
        ASSERT_EQ(r.status, 0) << r.err;
        std::ifstream in(dir + "/copied.log");
        std::string first;
        std::getline(in, first);
        EXPECT_EQ(first, "*** Trend identification by " + header);
        EXPECT_NE(system(("ls " + dir + "/filelog* >/dev/null 2>&1").c_str()), 0) << "log left behind";
    }
    const auto saved = run_json("info " + dir + "/trend.dat");
    EXPECT_EQ(saved["N"], 468);
    EXPECT_EQ(saved["ticks"][0], "1959.00");
    const auto j = run_json("trend " + data + "/co2.dat --L 24 --method kendall --alpha 0.2 --amount 5", dir);
    EXPECT_EQ(j["amount"], 5);
    for (size_t t = 0; t < 468; t += 50)
        EXPECT_NEAR(saved["values"][t].get<double>(), j["trend"][t].get<double>(), 1e-5 * 400) << t;

    // A series without tick marks gives a trend file of values alone.
    std::ofstream(dir + "/plain.dat") << "1\n3\n2\n5\n4\n6\n8\n7\n9\n";
    ASSERT_EQ(run("trend plain.dat --save plain_trend.dat", dir).status, 0);
    std::ifstream in(dir + "/plain_trend.dat");
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(text.rfind("%Trend\n", 0), 0u);
    EXPECT_EQ(text.find('\t'), std::string::npos) << text;
    system(("rm -rf " + dir).c_str());
}

double two_harmonics(int t) { return 3 * std::cos(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 4); }

// The series for t = 0..238 in a data file of a directory of its own (the run writes log files).
std::string two_harmonics_dir() {
    const std::string dir = private_dir("cli_forecast_");
    std::ofstream out(dir + "/harmonics.dat");
    out.precision(17);
    for (int t = 0; t < 239; ++t) out << two_harmonics(t) << '\n';
    return dir;
}

TEST(Cli, ForecastContinuesTwoHarmonicsToTheirTrueValues) {
    const std::string dir = two_harmonics_dir();
    const result r = run("forecast harmonics.dat --L 48 --points 50 --json --save forecast.dat", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);
    EXPECT_EQ(j["N"], 239);
    EXPECT_EQ(j["L"], 48);
    EXPECT_EQ(j["signal_components"], nlohmann::json({1, 2, 3, 4}));
    EXPECT_EQ(j["lrf"].size(), 47u);
    ASSERT_EQ(j["signal"].size(), 239u);
    ASSERT_EQ(j["forecast"].size(), 289u);
    for (int t = 0; t < 239; ++t) EXPECT_EQ(j["forecast"][t], j["signal"][t]) << t;
    for (int t = 239; t < 289; ++t) EXPECT_NEAR(j["forecast"][t].get<double>(), two_harmonics(t), 1e-6) << t;

    const auto saved = run_json("info forecast.dat", dir);
    ASSERT_EQ(saved["N"], 289);
    EXPECT_NEAR(saved["values"][288].get<double>(), j["forecast"][288].get<double>(), 1e-5);
    EXPECT_NE(system(("ls " + dir + "/filelog* >/dev/null 2>&1").c_str()), 0) << "log left behind";
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, ForecastTextAndTheSignalParts) {
    const std::string dir = two_harmonics_dir();
    const result r = run("forecast harmonics.dat --L 48 --points 3", dir);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "N=239, L=48, K=192, #C=48, TREND: LowFreq(omega=0.08,C=0.1), HARM: F(1), rho(0.65) on eigenvectors, "
              "signal components: 1, 2, 3, 4");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4);
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1, 4), "240\t");

    // Period 12 lies just above omega 0.08: nothing is trend, so without the
    // harmonics there is no signal and the forecast is 0.
    const auto j = run_json("forecast harmonics.dat --L 48 --points 3 --no-harmonics", dir);
    EXPECT_TRUE(j["signal_components"].empty());
    for (int t = 239; t < 242; ++t) EXPECT_EQ(j["forecast"][t], 0.0);
    // A larger omega takes the period-12 pair as trend too.
    EXPECT_EQ(run_json("forecast harmonics.dat --L 48 --points 3 --no-harmonics --trend-omega 0.1", dir)
                  ["signal_components"],
              nlohmann::json({1, 2}));
    system(("rm -rf " + dir).c_str());
}

TEST(Cli, ForecastRefusesBadOptionsInOneLine) {
    const std::string dir = private_dir("cli_forecast_bad_");
    std::ofstream(dir + "/zero.dat") << "0\n0\n0\n0\n0\n0\n";
    const std::string co2 = "forecast " + data + "/co2.dat ";
    for (const auto& [args, says] : std::vector<std::pair<std::string, std::string>>{
             {co2, "--points is required"},
             {co2 + "--points 0", "--points 0 must be at least 1"},
             {co2 + "--points 3 --rho 1", "--rho 1 is outside (0, 1)"},
             {co2 + "--points 3 --trend-C 1.5", "--trend-C 1.5 is outside [0, 1]"},
             {co2 + "--points 3 --trend-omega 0.6", "--trend-omega 0.6 is outside [0, 0.5]"},
             {co2 + "--points 3 --fourier 0", "--fourier 0 must be at least 1"},
             {co2 + "--points 3 --no-trend --no-harmonics", "leave no signal"},
             {co2 + "--points 3 --L 468", "outside 2..467"},
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

TEST(Cli, SummationSplitsCo2IntoTrendAndYearlyCycle) {
    const std::string co2 = data + "/co2.dat";
    const auto j = run_json("summation " + co2 + " --L 24");
    ASSERT_EQ(j["rows"].size(), 24u);
    EXPECT_EQ(j["rows"][0]["component"], 1);
    EXPECT_EQ(j["rows"][0]["texts"][3], "-");
    EXPECT_EQ(j["rows"][0]["trend"], true);
    EXPECT_EQ(j["rows"][1]["harmonic"], true);  // the yearly pair
    EXPECT_EQ(j["rows"][2]["harmonic"], true);
    EXPECT_DOUBLE_EQ(j["rows"][5]["singular_value"].get<double>(),
                     run_json("decompose " + co2 + " --L 24")["singular_values"][5].get<double>());

    const auto values = run_json("info " + co2)["values"];
    const auto &trend = j["final"]["trend"], &periodic = j["final"]["periodic"];
    double mean = 0;
    for (size_t t = 0; t < 468; ++t) {
        // Trend and harmonic exclude each other under 135: every component is in one part.
        EXPECT_NEAR(trend[t].get<double>() + periodic[t].get<double>() + j["final"]["residual"][t].get<double>(),
                    values[t].get<double>(), 1e-9 * 400);
        mean += periodic[t].get<double>() / 468;
    }
    EXPECT_NEAR(mean, 0, 0.05);
    for (size_t year = 0; year < 39; ++year) {  // the trend follows the level year by year
        double level = 0, level_of_trend = 0;
        for (size_t m = 12 * year; m < 12 * year + 12; ++m) {
            level += values[m].get<double>() / 12;
            level_of_trend += trend[m].get<double>() / 12;
        }
        EXPECT_NEAR(level_of_trend, level, 0.5) << year;
    }
    auto correlation = [&](size_t lag) {
        double num = 0, den = 0;
        for (size_t t = 0; t < 468; ++t) {
            den += periodic[t].get<double>() * periodic[t].get<double>();
            if (t + lag < 468) num += periodic[t].get<double>() * periodic[t + lag].get<double>();
        }
        return num / den;
    };
    EXPECT_GT(correlation(12), 0.8);  // a 12-month cycle, opposite after 6
    EXPECT_LT(correlation(6), -0.5);
}

TEST(Cli, SummationOptions) {
    const std::string co2 = "summation " + data + "/co2.dat --L 24 ";
    const auto all = run_json(co2 + "--amount 6 --conditions 0 --vectors factor");
    ASSERT_EQ(all["rows"].size(), 6u);
    for (const auto& row : all["rows"]) EXPECT_EQ(row["trend"], true);
    for (const auto& v : all["final"]["periodic"]) EXPECT_EQ(v.get<double>(), 0.0);

    // The roots threshold: absolute, or a percent of the vectors' length, truncated.
    for (const auto& [args, zeros] : std::vector<std::pair<std::string, std::string>>{
             {"", "Zeros 1 ("}, {"--roots-percent 10", "Zeros 2 ("}, {"--vectors reconstructed", "Zeros 23 ("}}) {
        const result r = run(co2 + args);
        EXPECT_NE(r.out.find(zeros), std::string::npos) << args << r.err;
    }
    for (const char* bad : {"--conditions 256", "--omega 0.6", "--epsilon nan", "--fourier -1", "--kendall 0",
                            "--lowfreq-C 1.5", "--vyg 2", "--roots-max 1 --roots-percent 5", "--amount 25",
                            "--vectors pcs", "--conditions x"}) {
        const result r = run(co2 + bad);
        EXPECT_NE(r.status, 0) << bad;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << bad << " -> " << r.err;
        EXPECT_TRUE(r.out.empty()) << bad << " -> " << r.out;
    }
}
