#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "core/ssa_exception.h"
#include "timeseries/ts.h"

using SSA_math_exception::file_exception;
using strings = std::vector<std::string>;

namespace {

std::vector<double> values_of(const t_ts& ts) {
    return std::vector<double>(ts.values().data(), ts.values().data() + ts.size());
}

// A file in the test directory, removed when the test ends.
struct temp_file {
    temp_file(const std::string& name, const std::string& text) : path(testing::TempDir() + "kelvane_ts_" + name) {
        std::ofstream(path) << text;
    }
    ~temp_file() { std::remove(path.c_str()); }
    std::string path;
};

}  // namespace

TEST(TimeSeries, ConstructorsFollowTheTable) {
    t_ts empty;
    EXPECT_EQ(empty.size(), 0);
    EXPECT_EQ(empty.ticks(), nullptr);
    EXPECT_FALSE(empty.has_ticks());

    series s(std::vector<double>{4, 5, 6});
    s.precision = 7;
    t_ts from_series(s);
    EXPECT_TRUE(from_series.has_ticks());
    EXPECT_EQ(*from_series.ticks(), (strings{"1", "2", "3"}));
    EXPECT_EQ(from_series.values().precision, 7);

    t_ts from_vector(std::vector<double>{1.5, 2.5});
    EXPECT_FALSE(from_vector.has_ticks());
    EXPECT_EQ(*from_vector.ticks(), (strings{"", ""}));
    EXPECT_EQ(values_of(from_vector), (std::vector<double>{1.5, 2.5}));
}

TEST(TimeSeries, CopyWithoutTickMarksGetsEmptyOnes) {
    t_ts src;
    src = series(std::vector<double>{7, 8});
    src.set_title("t");
    ASSERT_EQ(src.ticks(), nullptr);

    t_ts copy(src);
    ASSERT_NE(copy.ticks(), nullptr);
    EXPECT_EQ(*copy.ticks(), (strings{"", ""}));
    EXPECT_EQ(copy.title(), "t");
    EXPECT_EQ(values_of(copy), (std::vector<double>{7, 8}));
}

TEST(TimeSeries, AssignmentCopiesTickMarksOnlyWhenTheyBelongToTheSeries) {
    t_ts with(series(std::vector<double>{1, 2}));
    strings ab{"a", "b"};
    with.set_ticks(&ab);
    t_ts target;
    target = with;
    EXPECT_EQ(*target.ticks(), (strings{"a", "b"}));
    EXPECT_TRUE(target.has_ticks());

    t_ts without(std::vector<double>{1, 2, 3});
    without.set_title("w");
    target = without;
    EXPECT_EQ(target.ticks(), nullptr);
    EXPECT_FALSE(target.has_ticks());
    EXPECT_EQ(target.title(), "w");
    EXPECT_EQ(target.size(), 3);

    // A tick list shorter than the values is padded, not read past its end.
    strings one{"x"};
    with.set_ticks(&one);
    target = with;
    EXPECT_EQ(*target.ticks(), (strings{"x", ""}));
}

TEST(TimeSeries, AssigningValuesDropsTicksAndTitleButKeepsTheFlag) {
    t_ts ts(series(std::vector<double>{1, 2}));
    ts.set_title("old");
    ts = series(std::vector<double>{9, 8, 7});
    EXPECT_EQ(ts.size(), 3);
    EXPECT_EQ(ts.ticks(), nullptr);
    EXPECT_EQ(ts.title(), "");
    EXPECT_TRUE(ts.has_ticks());
}

TEST(TimeSeries, SetTicks) {
    t_ts ts(std::vector<double>{1, 2, 3});
    ts.set_ticks(static_cast<const std::vector<std::string>*>(nullptr));
    EXPECT_EQ(*ts.ticks(), (strings{"1", "2", "3"}));

    std::vector<double> years{1990, 0.5, 1e-7, 1234567};
    ts.set_ticks(&years);
    EXPECT_EQ(*ts.ticks(), (strings{"1990", "0.5", "1e-07", "1.23457e+06"}));

    t_ts bare;
    bare.set_ticks(static_cast<const std::vector<double>*>(nullptr));
    EXPECT_EQ(bare.ticks(), nullptr);
}

TEST(LoadFile, MissingFileNamesThePath) {
    const std::string path = testing::TempDir() + "no-such-dir/none.dat";
    try {
        t_ts().load(path);
        FAIL() << "no exception";
    } catch (const file_exception& e) {
        EXPECT_EQ(e.message, "unable to open data file");
        EXPECT_EQ(e.file_name, path);
    }
}

TEST(LoadFile, WorkbookChosenByTheLastThreeCharactersOnly) {
    for (const char* name : {"DATA.XLS", "dataxls", "b.xLs"}) {
        try {
            t_ts().load(temp_file(name, "1\n").path);
            FAIL() << name;
        } catch (const file_exception& e) {
            EXPECT_EQ(e.message, "workbook files are not supported yet") << name;
        }
    }
    for (const char* name : {"book.xlsx", "plain.dat"}) {
        t_ts ts;
        ts.load(temp_file(name, "%T\n1\n2\n").path);
        EXPECT_EQ(ts.size(), 2) << name;
        EXPECT_EQ(ts.title(), "T") << name;
    }
}

TEST(LoadFile, ReaderErrorsNameTheFile) {
    const temp_file file("inf.dat", "1\n# c\n1e400\n");
    try {
        t_ts().load(file.path);
        FAIL() << "no exception";
    } catch (const file_exception& e) {
        EXPECT_EQ(e.file_name, file.path);
        EXPECT_EQ(e.message, "value on line 3 is not a finite number");
    }
    // A directory opens on some systems but cannot be read.
    EXPECT_THROW(t_ts().load(testing::TempDir()), file_exception);
}

TEST(LoadFile, SaveAndLoadAgain) {
    t_ts ts(series(std::vector<double>{112, 118.5, -3e-5}));
    strings ticks{"1949.00", "1949.08", "1949.17"};
    ts.set_ticks(&ticks);
    ts.set_title("Air passengers");
    const temp_file file("saved.dat", "");
    save_cts(file.path, ts);

    t_ts back;
    back.load(file.path);
    EXPECT_EQ(values_of(back), values_of(ts));
    EXPECT_EQ(*back.ticks(), ticks);
    EXPECT_EQ(back.title(), "Air passengers");

    EXPECT_THROW(save_cts(testing::TempDir() + "no-such-dir/x.dat", ts), file_exception);
}
