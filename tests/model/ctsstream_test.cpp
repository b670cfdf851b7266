#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "core/hooks.h"
#include "test_util.h"

using strings = std::vector<std::string>;
using doubles = std::vector<double>;

namespace {

t_ts read_text(const std::string& text) {
    std::istringstream in(text);
    t_ts ts;
    read_cts(in, ts);
    return ts;
}

strings ticks_of(const t_ts& ts) { return ts.ticks() ? *ts.ticks() : strings{}; }

}  // namespace

using TextFile = scratch;

TEST(TextFormat, WorkedExamplesAndEdgeCases) {
    // Title and comment, header line, letters, semicolon, atof prefixes, lone number, junk, CRLF, BOM, long line.
    const struct { std::string text; doubles values; strings ticks; std::string title; } cases[] = {
        {"%Sales\n# monthly\n12.5\n-0.25e1\n", {12.5, -2.5}, {}, "Sales"},
        {"Date Volume\n1990 12.5\n1991 13.0\n", {12.5, 13}, {"1990", "1991"}, "Volume"},
        {"Month Value Remark\nJan 10\n", {}, {}, "10"}, {"5;6\n7\n", {5, 7}, {}, ""},
        {"1.2.3\n+-4\nE5\n", {1.2, 0, 0}, {}, ""}, {"1990\n1991\t12\n", {1990, 1991}, {}, ""},
        {"1990 ;=(-12.5)\n", {-12.5}, {"1990"}, ""}, {"\t% My title \n1\n", {1}, {}, " My title "},
        {"%T\r\n1990 1\r\n", {1}, {"1990"}, "T"}, {"1990 1\n1991\n", {1, 0}, {"1990", "1991"}, ""},
        {"\xEF\xBB\xBF%T\n1990 1\n", {1}, {"1990"}, "T"},
        {"%" + std::string(300, 'a') + "\n" + std::string(300, ' ') + "4\n", {4}, {}, std::string(300, 'a')},
    };
    for (const auto& c : cases) {
        const t_ts ts = read_text(c.text);
        EXPECT_EQ(values_of(ts), c.values) << c.text;
        EXPECT_EQ(ticks_of(ts), c.ticks) << c.text;
        EXPECT_EQ(ts.title(), c.title) << c.text;
    }
}

TEST(TextFormat, HeaderLinesAfterTheDataAreSkippedWithOneNotification) {
    strings told;
    const scoped_notify_hook record([&](const std::string& text, const std::string&, notify_icon) { told.push_back(text); });
    const struct { std::string text; doubles values; std::string title, notice; } cases[] = {  // notice "": none
        {"Year Value\n2000 1\n2001 2\n", {1, 2}, "Value", ""},
        {"# c\n2000 1\n2002 NA\n2003 3\n", {1, 3}, "NA", "1 line with letters after the first value skipped as header, the first on line 3"},
        {"2000 1\nDate\n2001 2\nx y\n", {1, 2}, "y", "2 lines with letters after the first value skipped as header, the first on line 2"},
    };
    for (const auto& c : cases) {
        told.clear();
        const t_ts ts = read_text(c.text);
        EXPECT_EQ(values_of(ts), c.values) << c.text;
        EXPECT_EQ(ts.title(), c.title) << c.text;
        EXPECT_EQ(told, c.notice.empty() ? strings{} : strings{c.notice}) << c.text;
    }
}

TEST(TextFormat, ALongReadReportsProgressAndCanBeCancelled) {
    struct cancelled {};
    std::string text;
    for (int i = 0; i < 10000; ++i) text += "1\n";
    const scoped_progress_hook cancel([](const char*, long long done, long long) { if (done > 0) throw cancelled{}; });
    EXPECT_THROW(read_text(text), cancelled);
}

TEST(TextFormat, UnreadableFilesAreRefused) {
    const std::string dir = testing::TempDir();
    for (const auto& [path, message] : std::vector<std::pair<std::string, std::string>>{
             {dir, "unable to read data file (Is a directory)"},
             {"/dev/zero", "line 1 is longer than 64 MB"},  // no line break ever: refused before memory runs out
         })
        EXPECT_EQ(load_error(path), path + ": " + message);
}

TEST(TextFormat, WriterLayoutAndExactRoundTrip) {
    t_ts ts(doubles{1.5, 1234567, 0.1 + 0.2, -2e-9});
    ts.set_title("Sales 2");
    strings years{"1990", "1991", "1992", "1993"};
    ts.set_ticks(&years);
    ts.set_has_ticks(true);
    std::ostringstream ticked;
    ticked.precision(2);  // the caller's stream settings must not leak into the file
    write_cts(ticked, ts);
    EXPECT_EQ(ticked.str(), "%Sales 2\n1990\t1.5\n1991\t1234567\n1992\t0.30000000000000004\n1993\t-2e-09\n");

    EXPECT_EQ(ticks_of(read_text(ticked.str())), years);

    // Values read back exactly, and those six digits hold print as before.
    const doubles written{1234567.89, 0.1, 1.0 / 3, -1e-300, 5e-324, 1.7976931348623157e308,
                          123456, 0.000123456, -0.0, 1e21, 2.5e-7, 3.14159, 100, 99999.95};
    std::ostringstream text;
    write_cts(text, t_ts(written));
    EXPECT_EQ(values_of(read_text(text.str())), written);
    std::istringstream lines(text.str());
    std::string line;
    std::getline(lines, line);  // the title
    for (double x : written)
        if (std::getline(lines, line) && parse_number(format_text("%g", x)) == x) { EXPECT_EQ(line, format_text("%g", x)); }
}

TEST_F(TextFile, SaveReplacesTheFileWhole) {
    const std::string path = dir + "/data.dat", held = dir + "/held.dat";
    std::ofstream(path) << "%old\n1\n";
    chmod(path.c_str(), 0640);
    ASSERT_EQ(link(path.c_str(), held.c_str()), 0);  // a reader of the old file keeps it whole
    ASSERT_EQ(symlink("data.dat", (dir + "/alias.dat").c_str()), 0);
    save_cts(dir + "/alias.dat", t_ts(doubles{1234567.89, 2}));
    EXPECT_EQ(slurp(path), "%\n1234567.89\n2\n");
    EXPECT_EQ(slurp(held), "%old\n1\n");
    struct stat st;
    EXPECT_TRUE(lstat(path.c_str(), &st) == 0 && (st.st_mode & 0777) == 0640u) << "the replaced file's permissions stay";

    // A failure leaves neither the target changed nor a temporary file behind.
    ASSERT_EQ(mkdir((dir + "/sub").c_str(), 0777), 0);
    for (const auto& [target, reason] : std::vector<std::pair<std::string, std::string>>{
             {dir + "/sub", "Is a directory"}, {dir + "/missing/data.dat", "No such file or directory"}})
        EXPECT_EQ(thrown<SSA_math_exception::file_exception>([&] { save_cts(target, t_ts(doubles{1})); }),
                  "unable to write data file (" + reason + ")");
    EXPECT_EQ(system(("test $(ls -A '" + dir + "' | wc -l) -eq 4").c_str()), 0) << "no temporary file left";
}

TEST_F(TextFile, AFifoIsWrittenThroughNeverReplaced) {
    const t_ts ts(doubles{1, 2});
    struct stat st;
    // The reader is open first so the save does not wait; a replaced FIFO leaves it empty.
    const std::string fifo = dir + "/pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    const int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    save_cts(fifo, ts);
    char received[16] = {};
    EXPECT_EQ(read(reader, received, sizeof received), 6);
    EXPECT_STREQ(received, "%\n1\n2\n");
    close(reader);
    EXPECT_TRUE(lstat(fifo.c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
}

TEST_F(TextFile, ASaveEndedByASignalLeavesNoTemporaryFile) {
    // The write outgrows the file size limit; that signal becomes a SIGTERM mid-write.
    const auto save_until_terminated = [this] {
        std::signal(SIGXFSZ, [](int) { std::raise(SIGTERM); });
        const rlimit small{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &small);
        save_cts(dir + "/data.dat", t_ts(doubles(100000, 1.0 / 3)));
    };
    EXPECT_EXIT(save_until_terminated(), testing::KilledBySignal(SIGTERM), "");
    EXPECT_EQ(system(("test -z \"$(ls -A '" + dir + "')\"").c_str()), 0) << "a temporary file was left";
}
