#include <dlfcn.h>
#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "fake_ui.h"
#include "log/file_log.h"
#include "log/file_operation.h"
#include "test_util.h"

// Lock failures on demand for the whole test binary; passes through while none is asked for.
static int failing_locks = 0;
extern "C" int flock(int fd, int operation) {
    static const auto real = reinterpret_cast<int (*)(int, int)>(dlsym(RTLD_NEXT, "flock"));
    if (failing_locks <= 0) return real(fd, operation);
    --failing_locks, errno = ENOLCK;
    return -1;
}

static bool exists(const std::string& p) { return access(p.c_str(), F_OK) == 0; }

using FileLogTest = scratch;

TEST_F(FileLogTest, NumbersTruncatesAndDeletes) {
    const std::string prefix = dir + "/";
    auto name = [&](int n) { return prefix + "filelog" + std::to_string(n) + ".log"; };
    int first = 0;
    {
        FileLog a(prefix);
        ASSERT_EQ(std::sscanf(a.file_name().c_str() + prefix.size(), "filelog%d.log", &first), 1);
        a << "line\n", a.flush();
        EXPECT_EQ(slurp(name(first)), "line\n");
    }
    EXPECT_FALSE(exists(name(first)));  // deleted with its owner
    // The counter never goes back; an old file of the next number is emptied, not appended to.
    std::ofstream(name(first + 1)) << "left from an earlier run\n";
    const FileLog b(prefix);
    EXPECT_EQ(b.file_name(), name(first + 1));
    EXPECT_EQ(slurp(name(first + 1)), "");

    // A log held by another process is skipped and left as it is.
    std::ofstream(name(first + 2)) << "another run's log\n";
    const int fd = open(name(first + 2).c_str(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);  // separate open file: conflicts like another process
    EXPECT_EQ(FileLog(prefix).file_name(), name(first + 3));
    EXPECT_EQ(slurp(name(first + 2)), "another run's log\n");
    close(fd);

    EXPECT_EQ(thrown([&] { FileLog bad(dir + "/no/such/dir/"); }), "error in opening file log");

    // Only a lock held elsewhere moves on; any other failure would repeat for every name.
    failing_locks = 50;
    EXPECT_EQ(thrown([&] { FileLog c(prefix); }), "error in locking file log (No locks available)");
    failing_locks = 0;
}

// A scratch directory and an operation answering from a script.
class FileOperationTest : public scratch {
protected: scripted_ui ui;
    FileOperation op{ui};
};

TEST_F(FileOperationTest, CopyNeverOverwritesUnlessAskedAndCountsCopyNames) {
    EXPECT_EQ(FileOperation::copy_name("/d/Copy (9) of data.dat"), "/d/Copy (10) of data.dat");
    const std::string src = file("src.dat", "new"), dst = file("data.dat", "old");
    for (int i = 0; i < 3; ++i) ASSERT_TRUE(op.copy(src, dst)) << op.get_error_text();
    EXPECT_EQ(slurp(dst), "old");
    for (const char* copy : {"/Copy of", "/Copy (1) of", "/Copy (2) of"}) EXPECT_EQ(slurp(dir + copy + " data.dat"), "new");
    op.set_overwrite(true);
    EXPECT_TRUE(op.copy(src, dst) && slurp(dst) == "new");
}

TEST_F(FileOperationTest, CopyFailuresAndTrees) {
    auto error = [&](const std::string& from, const std::string& to) {
        return op.copy(from, to) ? std::string() : op.get_error_text();
    };
    const std::string f = file("f.dat");
    EXPECT_EQ(error(f, dir + "/nowhere.dat"), dir + "/nowhere.dat not found");
    mkdir((dir + "/tree").c_str(), 0777), mkdir((dir + "/tree/sub").c_str(), 0777), file("tree/sub/a.dat", "A");
    EXPECT_EQ(error(dir + "/tree", f), "Wrong operation");
    EXPECT_EQ(error(dir + "/tree", dir + "/tree/sub"), "Wrong operation");  // into itself
    mkdir((dir + "/out").c_str(), 0777);
    EXPECT_EQ(error(dir + "/tree", dir + "/out"), "");
    EXPECT_EQ(slurp(dir + "/out/tree/sub/a.dat"), "A");
    EXPECT_TRUE(error(f, dir + "/out").empty() && exists(dir + "/out/f.dat"));  // a file into a directory
}

TEST_F(FileOperationTest, RemoveAsksBeforeReadOnlyFilesAndReportsTheSystemText) {
    const std::string ro = file("ro.dat");
    chmod(ro.c_str(), 0444);
    ui.answers = {ui_answer::no};
    EXPECT_TRUE(op.remove(ro) && exists(ro) && op.get_aborted());
    EXPECT_EQ(ui.questions, std::vector<std::string>{"Warning|ro.dat is read olny. Do you want delete it?"});
    ui.answers = {ui_answer::yes};
    EXPECT_TRUE(op.remove(ro) && !exists(ro));

    // Cancel stops a directory removal where it is and still reports success.
    mkdir((dir + "/d").c_str(), 0777);
    const std::string a = file("d/a.dat"), b = file("d/b.dat");
    chmod(a.c_str(), 0444), chmod(b.c_str(), 0444);
    ui.answers = {ui_answer::cancel};
    FileOperation op2(ui);
    EXPECT_TRUE(op2.remove(dir + "/d") && op2.get_error_code() == 0);
    EXPECT_TRUE(exists(a) && exists(b));

    FileOperation quiet(ui);
    quiet.set_ask_if_read_only(false);
    const size_t asked = ui.questions.size();
    EXPECT_TRUE(quiet.remove(dir + "/d") && !exists(dir + "/d") && ui.questions.size() == asked);

    // A link goes; what it points to stays, alone or inside a removed tree.
    mkdir((dir + "/target").c_str(), 0777), mkdir((dir + "/tree").c_str(), 0777);
    const std::string kept = file("target/kept.dat", "K");
    symlink((dir + "/target").c_str(), (dir + "/link").c_str()), symlink((dir + "/target").c_str(), (dir + "/tree/link").c_str());
    for (const char* removed : {"/link", "/tree"}) {
        EXPECT_TRUE(quiet.remove(dir + removed) && !exists(dir + removed) && slurp(kept) == "K") << removed;
    }
}
