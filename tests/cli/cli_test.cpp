// Runs the kelvane-cli binary as a user would and checks its output.
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <nlohmann/json.hpp>
#include <random>

namespace {

struct result {
    int status;
    std::string out, err;
};

std::string slurp_file(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// A shell command line; dir: its working directory, when given.
result run_shell(const std::string& command, const std::string& dir = "") {
    // ctest runs the tests of this binary in parallel processes.
    const std::string err_file = testing::TempDir() + "cli_stderr_" + std::to_string(getpid()) + ".txt";
    unlink(err_file.c_str());  // the command may run as another user, who could not reopen it
    FILE* p = popen(((dir.empty() ? "" : "cd " + dir + " && ") + command + " 2>" + err_file).c_str(), "r");
    std::string out;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    const int status = pclose(p);
    const result r{WIFEXITED(status) ? WEXITSTATUS(status) : -1, out, slurp_file(err_file)};
    unlink(err_file.c_str());
    return r;
}

// The program keeps measured FFT plans in the user's cache: never the real user's.
result run(const std::string& args, const std::string& dir = "") {
    return run_shell("XDG_CACHE_HOME=" + testing::TempDir() + "kelvane-cache " + KELVANE_CLI + " " + args, dir);
}

nlohmann::json run_json(const std::string& args, const std::string& dir = "") {
    const result r = run(args + " --json", dir);
    EXPECT_EQ(r.status, 0) << r.err;
    return nlohmann::json::parse(r.out);
}

const std::string co2 = std::string(KELVANE_DATA) + "/co2.dat";
using values = std::vector<double>;
values co2_values() { return run_json("info " + co2)["values"].get<values>(); }

// The co2 reconstruction of a JSON list of 1-based components.
values reconstruction(const nlohmann::json& components) {
    std::string group;
    for (const auto& c : components) group += (group.empty() ? "" : ",") + std::to_string(c.get<int>());
    return run_json("reconstruct " + co2 + " --L 24 --group " + group)["series"].get<values>();
}

// A directory of its own for a run that writes files, removed with it.
struct private_dir {
    explicit private_dir(const std::string& name) : path(testing::TempDir() + name + std::to_string(getpid())) {
        EXPECT_EQ(system(("rm -rf " + path + " && mkdir " + path).c_str()), 0);
    }
    ~private_dir() { system(("chmod -R u+w " + path + "; rm -rf " + path).c_str()); }
    operator const std::string&() const { return path; }
    std::string operator/(const std::string& name) const { return path + "/" + name; }
    const std::string path;
};

void write_values(const std::string& path, int n, const std::function<double(int)>& f) {
    std::ofstream data(path);
    data.precision(17);
    for (int t = 0; t < n; ++t) data << f(t) << '\n';
}

bool logs_left(const std::string& dir) { return system(("ls " + dir + "/filelog* >/dev/null 2>&1").c_str()) == 0; }

// A refusal: a failure, one line on standard error that says why, nothing on standard output.
int expect_refused(const std::string& args, const std::string& says, const std::string& dir = "") {
    const result r = run(args, dir);
    EXPECT_NE(r.status, 0) << args;
    EXPECT_NE(r.err.find(says), std::string::npos) << args << " -> " << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_EQ(r.err.find("inside"), std::string::npos) << "names the code, not the input: " << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    return r.status;
}

// An empty TMPDIR of the test's own: the private log directory shows up there.
std::string entries(const std::string& dir) { return run_shell("ls -A " + dir).out; }

}  // namespace

TEST(Cli, BadInputGivesOneLineAndFailure) {
    // The memory refusal must not depend on the host's memory.
    setenv("KELVANE_MEMORY", "16e9", 1);
    // Every run in a directory of its own: a failing forecast may leave log files.
    const private_dir dir("cli_bad_");
    std::ofstream(dir / "comments.dat") << "# only\n# comments\n";
    std::ofstream(dir / "huge.dat") << "1\n2\n1e400\n4\n";
    std::ofstream(dir / "two.dat") << "1\n2\n";
    std::ofstream(dir / "zero.dat") << "0\n0\n0\n0\n0\n0\n";
    // Hundreds of GB at the default L: refused before any allocation.
    write_values(dir / "long.dat", 200000, [](int t) { return t % 7; });
    std::ofstream(dir / "vast.dat") << "1e200\n-3e200\n2e200\n5e200\n";
    write_values(dir / "growth.dat", 30, [](int t) { return std::pow(1.05, t); });
    const std::string c = co2 + " --L 24 ";
    for (const auto& [args, says] : std::vector<std::pair<std::string, std::string>>{
             {"info missing.dat", "unable to open data file (No such file or directory)"},
             {"info comments.dat", "no values"},
             {"decompose huge.dat", "line 3"},
             {"decompose two.dat", "at least 3"},
             {"reconstruct " + c + "--group 25", "outside 1..24"},
             {"reconstruct " + c + "--group 2,2", "twice"},
             {"decompose " + co2 + " --L 0", "L = 0 is outside 2..467"},
             {"reconstruct " + c + "--group 1 --save ''", "--save"},
             // Output paths are checked before the data are even read.
             {"trend two.dat --save nowhere/t.dat", "nowhere/t.dat"},
             {"trend two.dat --log .", "Is a directory"},
             {"nonsense " + co2, "nonsense"},
             {"trend " + c + "--maxroots 2 --roots-percent 5", "exclude each other"},
             {"period " + c + "--range 13:11", "--range 13:11"},
             // The threshold the constraint itself refuses, refused as an option.
             {"period " + c + "--vyg 1", "--vyg 1 is outside (0, 1)"},
             {"forecast " + co2, "--points is required"},
             // Refused before anything is loaded: the file need not exist.
             {"forecast missing.dat --points 1000001", "--points 1000001 is above the largest forecast of 1000000 values"},
             {"forecast missing.dat --points 2147483647", "--points 2147483647 is above the largest forecast"},
             {"forecast " + c + "--points 3 --no-trend --no-harmonics", "leave no signal"},
             {"forecast " + c + "--points 3 --method vectors", "--method must be recurrent or vector, not 'vectors'"},
             {"forecast " + c + "--points 3 --intervals 1", "--intervals 1 is outside (0, 1)"},
             {"forecast " + c + "--points 3 --replicates 50", "--replicates requires --intervals"},
             {"period zero.dat", "no component to test"},
             // Every eigentriple asked for: auto would take the truncated path here.
             {"decompose long.dat --solver fast", "for L = 100000 needs about 400.0 GB of memory, but 16.0 GB are available: take L = "},
             {"trend " + co2 + " --L 120 --solver truncated --components 50 --amount 60", "--amount 60 is above the 50 components"},
             {"reconstruct " + co2 + " --L 120 --solver truncated --components 10 --group 1,11", "component 11 is above the 10"},
             // An empty value is no 0.
             {"trend " + c + "--C ''", "--C: a value is needed"},
             {"forecast growth.dat --L 2 --points 20000", "The forecast leaves the range of doubles at point "},
             {"decompose vast.dat", "exceed the range of doubles"},
             // An investigation ends through its own exit when it cannot decompose.
             {"trend vast.dat --json", "exceed the range of doubles"},
         })
        expect_refused(args, says, dir);
    unsetenv("KELVANE_MEMORY");
    EXPECT_FALSE(logs_left(dir));
}

TEST(Cli, TruncatedDecompositionHoldsItsKComponents) {
    const nlohmann::json full = run_json("decompose " + co2 + " --L 120");
    const nlohmann::json cut = run_json("decompose " + co2 + " --L 120 --solver truncated --components 10");
    for (const char* key : {"eigenvalues", "contributions"}) {
        ASSERT_EQ(cut[key].size(), 10u) << key;
        for (size_t c = 0; c < 10; ++c)
            EXPECT_NEAR(cut[key][c].get<double>(), full[key][c].get<double>(), 1e-9 * full[key][0].get<double>()) << key;
    }
    // --amount defaults to the components held.
    EXPECT_EQ(run_json("trend " + co2 + " --L 120 --solver truncated --components 10")["amount"], 10);
    // auto: the truncated path above L = 2000 only.
    const private_dir dir("cli_auto_");
    write_values(dir / "long.dat", 3000, [](int t) { return std::sin(0.1 * t) + 0.001 * t + std::cos(1.7 * t * t); });
    EXPECT_EQ(run_json("decompose long.dat --L 2001 --components 20", dir)["components"], 20);
    EXPECT_EQ(run_json("decompose long.dat --L 2000 --components 20", dir)["components"], 2000);
}

// Harmonics at 1e-6 of a large offset, below the eigenvalues' rounding; L = 5040 both periods divide.
TEST(Cli, HarmonicsOnALargeOffsetAreFound) {
    const private_dir dir("cli_offset_");
    std::mt19937 gen(7);
    std::normal_distribution<double> noise(0, 0.1);
    write_values(dir / "offset.dat", 10000, [&](int t) {
        return 1e6 + std::sin(2 * M_PI * t / 12) + 0.5 * std::sin(2 * M_PI * t / 30) + noise(gen);
    });
    EXPECT_EQ(run_json("decompose offset.dat", dir)["count"], 50);
    const nlohmann::json p = run_json("period offset.dat --L 5040", dir);
    ASSERT_GE(p["pairs"].size(), 2u) << p["pairs"];
    EXPECT_EQ(p["pairs"][0], nlohmann::json({2, 3}));
    EXPECT_EQ(p["pairs"][1], nlohmann::json({4, 5}));
    EXPECT_NEAR(p["periods"][0].get<double>(), 12, 1e-3);
    EXPECT_NEAR(p["periods"][1].get<double>(), 30, 1e-3);
}

TEST(Cli, CsvFilesAreOneSheetWorkbooks) {
    const private_dir dir("cli_csv_");
    std::ofstream(dir / "co2.CSV") << "month;co2\n1959-01;315,42\n1959-02;316,31\n;\n1959-04;317,1\n";
    std::ofstream(dir / "years.csv") << "year,co2\n1990,315.42\n1991,316.31\n";
    const nlohmann::json dates = run_json("info co2.CSV --ticks-column 1", dir);
    EXPECT_EQ(run("info co2.CSV", dir).err,
              "kelvane-cli: warning: 2 values read from column co2; row 4 is empty and 1 more number follows it\n");
    EXPECT_EQ(dates["values"].get<values>(), (values{315.42, 316.31}));
    EXPECT_EQ(dates["ticks"], nlohmann::json({"1959-01", "1959-02"}));
    // Without --column: the first column holding numbers.
    EXPECT_EQ(run_json("info years.csv --sheet 1", dir)["values"].get<values>(), (values{1990, 1991}));
    expect_refused("info years.csv --sheet 2", "", dir);
    expect_refused("info " + co2 + " --column 2", "apply to workbooks and CSV/TSV files only", dir);
}

TEST(Cli, WorkbooksOfEveryFormat) {
    const std::string dir = KELVANE_WORKBOOKS;
    for (const char* name : {"book.xlsx", "book.xls", "book.ods"}) {
        const nlohmann::json j = run_json(std::string("info ") + name + " --sheet 2 --column 3", dir);
        EXPECT_EQ(j["values"].get<values>(), (values{0.1, 2.5, -3.75, 1e-7})) << name;
        EXPECT_EQ(run_json(std::string("info ") + name + " --sheet Monthly --column 2 --ticks-column 1", dir)["ticks"][4],
                  "1959-05-28")
            << name;
    }
    expect_refused("info book.ods --sheet Yearly --column 9", "no column 9 in worksheet \"Yearly\" (it has 3)", dir);
}

TEST(Cli, PeriodFindsTheYearlyHarmonicAndItsOvertonesInCo2) {
    const result r = run("period " + co2 + " --L 24 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto j = nlohmann::json::parse(r.out);  // stdout holds the object alone
    EXPECT_EQ(j["pairs"][0], nlohmann::json({2, 3}));  // numbered from 1
    // The periodic part is the reconstruction of the listed components, each once.
    const auto rec = reconstruction(j["components"]);
    for (size_t t = 0; t < 468; ++t) EXPECT_NEAR(j["periodic"][t].get<double>(), rec[t], 1e-9) << t;
    // Diagnostics go to standard error; standard output is the result alone, its header first.
    const result text = run("period " + co2 + " --L 24 --estimation periodogr");
    EXPECT_NE(text.err.find("series::getperiod_periodogr()"), std::string::npos) << text.err;
    EXPECT_EQ(text.out.rfind("N = 468, L = 24", 0), 0u) << text.out;
}

TEST(Cli, TrendIsItsComponentsReconstructionAndFollowsTheSeries) {
    const private_dir dir("cli_trend_");
    const auto j = run_json("trend " + co2 + " --L 24 --save trend.dat", dir);
    const values trend = j["trend"].get<values>(), series = reconstruction(j["components"]);
    ASSERT_EQ(trend.size(), 468u);
    for (size_t t = 0; t < 468; ++t) EXPECT_DOUBLE_EQ(series[t], trend[t]) << t;
    EXPECT_EQ(run_json("info " + dir.path + "/trend.dat")["ticks"][0], "1959.00");
    // The roots threshold is a percent of the treated vectors' length, truncated: 10 % of 445 -> 44.
    ASSERT_EQ(run("trend " + co2 + " --L 24 --method roots --log copied.log --vectors factor --roots-percent 10", dir).status, 0);
    const std::string log = slurp_file(dir / "copied.log");
    EXPECT_EQ(log.substr(0, log.find('\n')), "*** Trend identification by Roots method, M=445, maxroots=44, epsilon=0.0001 ***");
    EXPECT_FALSE(logs_left(dir));
}

TEST(Cli, ForecastContinuesTwoHarmonicsToTheirTrueValues) {
    auto two_harmonics = [](int t) { return 3 * std::cos(2 * M_PI * t / 12) + std::sin(2 * M_PI * t / 4); };
    const private_dir dir("cli_forecast_");
    write_values(dir / "harmonics.dat", 239, two_harmonics);
    const auto j = run_json("forecast harmonics.dat --L 48 --points 50", dir);
    EXPECT_EQ(j["signal_components"], nlohmann::json({1, 2, 3, 4}));
    ASSERT_EQ(j["forecast"].size(), 289u);
    for (int t = 0; t < 239; ++t) EXPECT_EQ(j["forecast"][t], j["signal"][t]) << t;
    for (int t = 239; t < 289; ++t) EXPECT_NEAR(j["forecast"][t].get<double>(), two_harmonics(t), 1e-6) << t;
    EXPECT_NEAR(j["root_modulus"].get<double>(), 1, 1e-6);
    write_values(dir / "growth.dat", 30, [](int t) { return std::pow(1.05, t); });
    const result growth = run("forecast growth.dat --L 2 --points 2 --json", dir);
    EXPECT_NE(growth.err.find("warning: the largest characteristic root of the recurrence has modulus 1.05"), std::string::npos);
    // The vector forecast continues them as exactly; bounds only when asked, the same on every run.
    EXPECT_FALSE(j.contains("lower"));
    const std::string banded = "forecast harmonics.dat --L 48 --points 5 --method vector --intervals 0.9 --replicates 20";
    const auto v = run_json(banded, dir);
    for (int t = 239; t < 244; ++t) EXPECT_NEAR(v["forecast"][t].get<double>(), two_harmonics(t), 1e-6) << t;
    ASSERT_EQ(v["upper"].size(), 5u);
    EXPECT_EQ(run_json(banded, dir), v);
    // Text output: the header and one tab-separated line per forecast point, numbered on.
    const result r = run("forecast harmonics.dat --L 48 --points 3", dir);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 4) << r.out;
    EXPECT_EQ(r.out.substr(r.out.find('\n') + 1, 4), "240\t");
    // Period 12 lies just above omega 0.08; a larger omega takes that pair as trend.
    EXPECT_EQ(run_json("forecast harmonics.dat --L 48 --points 3 --no-harmonics --trend-omega 0.1", dir)["signal_components"],
              nlohmann::json({1, 2}));
    // The log copies its parts': the trend part's LowFreq lines, then the harmonic part's VYG constraint.
    const result logged = run("forecast " + co2 + " --L 24 --points 3 --log forecast.log", dir);
    ASSERT_EQ(logged.status, 0) << logged.err;
    const std::string log = slurp_file(dir / "forecast.log");
    const size_t trend = log.find("LowFreq"), harmonic = log.find("*** VYG constraint");
    EXPECT_TRUE(trend != std::string::npos && trend < harmonic && harmonic != std::string::npos) << log;
    EXPECT_FALSE(logs_left(dir));
}

TEST(Cli, SummationSplitsCo2IntoTrendAndYearlyCycle) {
    const auto j = run_json("summation " + co2 + " --L 24");
    ASSERT_EQ(j["rows"].size(), 24u);
    EXPECT_EQ(j["rows"][0]["trend"], true);
    EXPECT_EQ(j["rows"][1]["harmonic"], true);  // the yearly pair
    // Trend and harmonic exclude each other: every component is in one part, the parts add up to the series.
    const auto y = co2_values();
    const auto& f = j["final"];
    for (size_t t = 0; t < y.size(); ++t)
        EXPECT_NEAR(f["trend"][t].get<double>() + f["periodic"][t].get<double>() + f["residual"][t].get<double>(), y[t], 1e-9 * y[t]);
}

TEST(Cli, AFailedWriteFails) {
    for (const std::string& args : {"decompose --json " + co2, std::string("trend --help")}) {
        const result r = run(args + " >/dev/full");
        EXPECT_NE(r.status, 0) << args;
        EXPECT_NE(r.err.find("kelvane-cli: error writing standard output"), std::string::npos) << args << " -> " << r.err;
    }
    // A log that cannot be written whole fails the run; the file size limit stands for a full $TMPDIR.
    const private_dir dir("cli_full_");
    const result r = run_shell("trap '' XFSZ; ulimit -f 1; exec " + std::string(KELVANE_CLI) + " trend " + co2 + " --L 24 --log copied.log", dir);
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("kelvane-cli: unable to write log file : /"), std::string::npos) << r.err;
    EXPECT_EQ(entries(dir), "") << "no copy of a log cut short";
}

TEST(Cli, UserFilesInTheWorkingDirectoryAreNeverTouched) {
    const private_dir dir("cli_cwd_"), tmp("cli_tmp_"), shared("cli_shared_");
    std::ofstream(dir / "filelog0.log") << "the user's own\n";
    auto run_all = [&](const std::string& as_user, const std::string& cli, const std::string& data) {
        const std::string c = data + " --L 24";
        for (const std::string& args : {"info " + data, "decompose " + c, "reconstruct " + c + " --group 1",
                                        "trend " + c, "period " + c, "summation " + c + " --amount 4",
                                        "forecast " + c + " --points 2"}) {
            const result r = run_shell("TMPDIR=" + tmp.path + " " + as_user + cli + " " + args + " --json >/dev/null", dir);
            EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        }
    };
    run_all("", KELVANE_CLI, co2);
    EXPECT_EQ(entries(dir), "filelog0.log\n");
    EXPECT_EQ(slurp_file(dir / "filelog0.log"), "the user's own\n");
    EXPECT_EQ(entries(tmp), "") << "the private directory is removed at exit";
    // A read-only working directory; the superuser writes anywhere, so it runs as nobody on copies.
    const bool root = geteuid() == 0;
    const std::string as_user = root ? "setpriv --reuid=65534 --regid=65534 --clear-groups " : "";
    std::string cli = KELVANE_CLI, data = co2;
    if (root) {
        cli = shared / "kelvane-cli";
        data = shared / "co2.dat";
        std::filesystem::copy_file(KELVANE_CLI, cli);
        std::filesystem::copy_file(co2, data);
        ASSERT_EQ(chmod(shared.path.c_str(), 0755), 0);
        ASSERT_EQ(chmod(data.c_str(), 0644), 0);
        if (run_shell(as_user + cli + " --help >/dev/null").status != 0) GTEST_SKIP() << "user nobody cannot run the binary";
    }
    ASSERT_EQ(chmod(dir.path.c_str(), 0555), 0);
    ASSERT_EQ(chmod(tmp.path.c_str(), 0777), 0);
    run_all(as_user, cli, data);
    EXPECT_NE(run_shell(as_user + "touch probe", dir).status, 0) << "the directory was writable after all";
    EXPECT_EQ(entries(tmp), "");
}

TEST(Cli, SignalsLeaveNoFiles) {
    const private_dir dir("cli_sig_"), tmp("cli_sigtmp_");
    // Its JSON outgrows a pipe: unread, the run waits with its private directory made.
    write_values(dir / "long.dat", 20000, [](int t) { return std::sin(0.1 * t) + 0.001 * t; });
    for (int sig : {SIGTERM, SIGINT, SIGHUP, SIGQUIT, SIGPIPE}) {
        int out[2];
        ASSERT_EQ(pipe(out), 0);
        // SIGPIPE: the reader is gone before the first write, as with | head.
        if (sig == SIGPIPE) close(out[0]);
        const pid_t child = fork();
        if (child == 0) {
            setenv("TMPDIR", tmp.path.c_str(), 1);
            // As from a terminal, even when this test runs in the background.
            for (int s : {SIGINT, SIGHUP, SIGQUIT, SIGPIPE}) signal(s, SIG_DFL);
            const rlimit no_core{0, 0};
            setrlimit(RLIMIT_CORE, &no_core);
            if (chdir(dir.path.c_str()) != 0 || !freopen("/dev/null", "w", stderr)) _exit(127);
            dup2(out[1], STDOUT_FILENO);
            close(out[1]);
            if (sig != SIGPIPE) close(out[0]);
            execl(KELVANE_CLI, KELVANE_CLI, "--no-progress", "trend", "long.dat", "--L", "20", "--json", nullptr);
            _exit(127);
        }
        close(out[1]);
        if (sig != SIGPIPE) {
            // The first bytes of the result: past the investigation, blocked on the full pipe.
            pollfd ready{out[0], POLLIN, 0};
            ASSERT_EQ(poll(&ready, 1, -1), 1);
            kill(child, sig);
            close(out[0]);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (sig == SIGPIPE)
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 0) << "a failed write, status " << status;
        else
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << sig << " status " << status;
        EXPECT_EQ(entries(tmp), "") << strsignal(sig);
    }
}

TEST(Cli, EdgesOfTheOptions) {
    const private_dir dir("cli_edges_");
    std::ofstream(dir / "one.dat") << "7\n";
    // Series too short for a decomposition still show.
    EXPECT_EQ(run_json("info one.dat", dir)["values"], nlohmann::json({7.0}));
    EXPECT_EQ(run_json("decompose " + std::string(KELVANE_DATA) + "/nottem.dat")["L"], (240 + 1) / 2);
    // --no-progress after the subcommand, as the README shows it.
    EXPECT_EQ(run("decompose " + co2 + " --L 24 --no-progress", dir).status, 0);
    EXPECT_FALSE(logs_left(dir));
}

TEST(Cli, SummationDecomposesOnce) {
    // Progress is drawn on a terminal only: count under a pseudo-terminal the lag-covariance stages.
    const result r = run_shell("script -qec '" + std::string(KELVANE_CLI) + " summation " + co2 + " --L 24 >/dev/null' /dev/null");
    EXPECT_EQ(r.status, 0);
    const size_t first = r.out.find("lag-covariance 100%");
    EXPECT_TRUE(first != std::string::npos && r.out.find("lag-covariance 100%", first + 1) == std::string::npos) << r.out;
}

TEST(Cli, WcorOfComponentsOfGroupsAndTheClusteringProposal) {
    const auto c = run_json("wcor " + co2 + " --L 24");
    const auto wc = c["wcor"].get<std::vector<values>>();
    ASSERT_EQ(wc.size(), c["components"].get<size_t>());
    // The trend stands apart from the yearly pair, whose halves belong together.
    EXPECT_TRUE(std::fabs(wc.at(0).at(1)) < 0.05 && std::fabs(wc.at(1).at(2)) > 0.3);
    const auto j = run_json("wcor " + co2 + " --L 24 --groups 1:2-3:4,5");
    EXPECT_EQ(j["groups"], nlohmann::json::parse("[[1],[2,3],[4,5]]"));
    const auto w = j["wcor"].get<std::vector<values>>();
    ASSERT_EQ(w.size(), 3u);
    // The weighted correlation of the groups' reconstructions, counted here.
    const values a = reconstruction({1}), b = reconstruction({2, 3});
    const int N = 468, L = 24, K = N - L + 1;
    double ab = 0, aa = 0, bb = 0;
    for (int t = 0; t < N; ++t) {
        const double wt = std::min(std::min(t + 1, N - t), std::min(L, K));
        ab += wt * a[t] * b[t], aa += wt * a[t] * a[t], bb += wt * b[t] * b[t];
    }
    EXPECT_NEAR(w[0][1], ab / std::sqrt(aa * bb), 1e-12);
    EXPECT_EQ(w[1][0], w[0][1]);
    EXPECT_EQ(expect_refused("wcor " + co2 + " --L 24 --groups 1,2:2", "--groups: component 2 is in both groups"), 1);
    // The clustering itself is the model's; here the proposal keeps the yearly pair whole.
    const auto p = run_json("wcor " + co2 + " --L 24 --amount 8 --cluster 0.5")["groups"];
    EXPECT_NE(std::find(p.begin(), p.end(), nlohmann::json({2, 3})), p.end()) << p;
    EXPECT_EQ(expect_refused("wcor " + co2 + " --L 24 --cluster 2", "--cluster takes a threshold in 0..1, not 2"), 1);
}

TEST(Cli, ReconstructAGroupingWritesOneFilePerGroupWithTheTicks) {
    const private_dir dir("cli_grouping_");
    std::ofstream(dir / "g.json") << R"({"series": "co2.dat", "L": 24, "groups": [
        {"name": "trend", "components": [1]}, {"name": "annual", "components": [2, 3]},
        {"name": "half year/2", "components": [4, 5]}]})";
    const auto j = run_json("reconstruct " + co2 + " --grouping g.json --save-dir .", dir);
    ASSERT_EQ(j["groups"].size(), 3u);
    EXPECT_EQ(j["groups"][2]["file"], "half_year_2.dat");
    for (const auto& g : j["groups"]) {
        const auto saved = run_json("info " + dir / g["file"].get<std::string>());
        // Bit for bit the single group's reconstruction, and the series' dates.
        EXPECT_EQ(saved["values"].get<values>(), reconstruction(g["components"])) << g["name"];
        EXPECT_EQ(saved["ticks"][0], "1959.00");
    }
    EXPECT_EQ(expect_refused("reconstruct " + co2 + " --L 12 --grouping g.json", "made with L = 24, not L = 12", dir), 1);
    expect_refused("reconstruct " + co2, "--group or --grouping");
}
