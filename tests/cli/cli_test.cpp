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

result run(const std::string& args) {
    // ctest runs the tests of this binary in parallel processes.
    const std::string err_file = testing::TempDir() + "cli_stderr_" + std::to_string(getpid()) + ".txt";
    const std::string cmd = std::string(KELVANE_CLI) + " " + args + " 2>" + err_file;
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

nlohmann::json run_json(const std::string& args) {
    const result r = run(args + " --json");
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
