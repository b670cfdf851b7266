#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>

#include "core/ssa_exception.h"
#include "fake_ui.h"
#include "log/file_log.h"
#include "log/file_operation.h"

namespace {

bool exists(const std::string& p) { return access(p.c_str(), F_OK) == 0; }

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
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

}  // namespace

using FileLogTest = scratch;

TEST_F(FileLogTest, NumbersTruncatesAndDeletes) {
    const std::string prefix = dir + "/";
    std::string first_name;
    int first = 0;
    {
        FileLog a(prefix);
        first_name = a.file_name();
        ASSERT_EQ(std::sscanf(first_name.c_str() + prefix.size(), "filelog%d.log", &first), 1);
        a << "line\n";
        a.flush();
        EXPECT_EQ(slurp(first_name), "line\n");
    }
    EXPECT_FALSE(exists(first_name));  // deleted with its owner
    // The counter never goes back, whatever was destroyed; an old file of
    // the next number is emptied, not appended to.
    const std::string next = prefix + "filelog" + std::to_string(first + 1) + ".log";
    std::ofstream(next) << "left from an earlier run\n";
    auto b = std::make_unique<FileLog>(prefix);
    EXPECT_EQ(b->file_name(), next);
    EXPECT_EQ(slurp(next), "");
    FileLog c(prefix);
    EXPECT_EQ(c.file_name(), prefix + "filelog" + std::to_string(first + 2) + ".log");
}

TEST_F(FileLogTest, ALogHeldByAnotherProcessIsNotTouched) {
    const std::string prefix = dir + "/";
    int next = 0;
    {
        FileLog probe(prefix);
        std::sscanf(probe.file_name().c_str() + prefix.size(), "filelog%d.log", &next);
        ++next;
    }
    const std::string held = prefix + "filelog" + std::to_string(next) + ".log";
    std::ofstream(held) << "another run's log\n";
    const int fd = open(held.c_str(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);  // separate open file: conflicts like another process
    {
        FileLog mine(prefix);
        EXPECT_EQ(mine.file_name(), prefix + "filelog" + std::to_string(next + 1) + ".log");
    }
    EXPECT_EQ(slurp(held), "another run's log\n");
    close(fd);
}

TEST_F(FileLogTest, UnwritablePlaceFailsWithTheLogMessage) {
    try {
        FileLog bad(dir + "/no/such/dir/");
        ADD_FAILURE() << "opened";
    } catch (const SSA_math_exception::ssa_exception& e) {
        EXPECT_EQ(e.message, "error in opening file log");
    }
}

using FileOperationTest = scratch;

TEST(FileOperationNames, CopyNamesCount) {
    EXPECT_EQ(FileOperation::copy_name("/d/data.dat"), "/d/Copy of data.dat");
    EXPECT_EQ(FileOperation::copy_name("/d/Copy of data.dat"), "/d/Copy (1) of data.dat");
    EXPECT_EQ(FileOperation::copy_name("/d/Copy (1) of data.dat"), "/d/Copy (2) of data.dat");
    EXPECT_EQ(FileOperation::copy_name("/d/Copy (9) of data.dat"), "/d/Copy (10) of data.dat");
    EXPECT_EQ(FileOperation::copy_name("noext"), "Copy of noext");
    EXPECT_EQ(FileOperation::copy_name("a/Copy (x.dat"), "a/Copy of Copy (x.dat");
}

TEST_F(FileOperationTest, CopyNeverOverwritesUnlessAsked) {
    scripted_ui ui;
    FileOperation op(ui);
    const std::string src = file("src.dat", "new"), dst = file("data.dat", "old");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(op.copy(src, dst)) << op.get_error_text();
    EXPECT_EQ(slurp(dst), "old");
    EXPECT_EQ(slurp(dir + "/Copy of data.dat"), "new");
    EXPECT_EQ(slurp(dir + "/Copy (1) of data.dat"), "new");
    EXPECT_EQ(slurp(dir + "/Copy (2) of data.dat"), "new");
    op.set_overwrite(true);
    ASSERT_TRUE(op.copy(src, dst));
    EXPECT_EQ(slurp(dst), "new");
}

TEST_F(FileOperationTest, CopyFailuresAndTrees) {
    scripted_ui ui;
    FileOperation op(ui);
    EXPECT_EQ(op.get_error_text(), "No error");
    EXPECT_FALSE(op.copy(dir + "/missing.dat", dir));
    EXPECT_EQ(op.get_error_text(), dir + "/missing.dat not found");
    const std::string f = file("f.dat");
    EXPECT_FALSE(op.copy(f, dir + "/nowhere.dat"));
    EXPECT_EQ(op.get_error_text(), dir + "/nowhere.dat not found");
    mkdir((dir + "/tree").c_str(), 0777);
    mkdir((dir + "/tree/sub").c_str(), 0777);
    file("tree/sub/a.dat", "A");
    EXPECT_FALSE(op.copy(dir + "/tree", f));
    EXPECT_EQ(op.get_error_text(), "Wrong operation");
    EXPECT_FALSE(op.copy(dir + "/tree", dir + "/tree/sub"));  // into itself
    mkdir((dir + "/out").c_str(), 0777);
    ASSERT_TRUE(op.copy(dir + "/tree", dir + "/out")) << op.get_error_text();
    EXPECT_EQ(slurp(dir + "/out/tree/sub/a.dat"), "A");
    ASSERT_TRUE(op.copy(f, dir + "/out"));  // a file into a directory
    EXPECT_TRUE(exists(dir + "/out/f.dat"));
}

TEST_F(FileOperationTest, RemoveAsksBeforeReadOnlyFiles) {
    scripted_ui ui;
    FileOperation op(ui);
    const std::string ro = file("ro.dat");
    chmod(ro.c_str(), 0444);
    ui.answers = {ui_answer::no};
    EXPECT_TRUE(op.remove(ro));
    EXPECT_TRUE(exists(ro));
    EXPECT_TRUE(op.get_aborted());
    ASSERT_EQ(ui.questions.size(), 1u);
    EXPECT_EQ(ui.questions[0], "Warning|ro.dat is read olny. Do you want delete it?");
    ui.answers = {ui_answer::yes};
    EXPECT_TRUE(op.remove(ro));
    EXPECT_FALSE(exists(ro));

    // Cancel stops a directory removal where it is and still reports success.
    mkdir((dir + "/d").c_str(), 0777);
    const std::string a = file("d/a.dat"), b = file("d/b.dat");
    chmod(a.c_str(), 0444);
    chmod(b.c_str(), 0444);
    ui.answers = {ui_answer::cancel};
    FileOperation op2(ui);
    EXPECT_TRUE(op2.remove(dir + "/d"));
    EXPECT_EQ(op2.get_error_code(), 0);
    EXPECT_TRUE(exists(a) && exists(b));

    FileOperation quiet(ui);
    quiet.set_ask_if_read_only(false);
    const size_t asked = ui.questions.size();
    EXPECT_TRUE(quiet.remove(dir + "/d"));
    EXPECT_FALSE(exists(dir + "/d"));
    EXPECT_EQ(ui.questions.size(), asked);
}

TEST_F(FileOperationTest, RemovingNothingReportsTheSystemText) {
    scripted_ui ui;
    FileOperation op(ui);
    EXPECT_FALSE(op.remove(dir + "/ghost"));
    EXPECT_EQ(op.get_error_code(), ENOENT);
    EXPECT_EQ(op.get_error_text(), std::strerror(ENOENT));
}
