#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "core/object.h"
#include "core/series.h"
#include "core/ssa_exception.h"

namespace {

std::string temp_path(const std::string& name) {
    std::string p = testing::TempDir() + "series_" + std::to_string(getpid()) + "_" + name;
    std::remove(p.c_str());
    return p;
}

std::string slurp(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TEST(Series, IndexChecksBothEndsAndEmptySeries) {
    series empty(0);
    EXPECT_EQ(empty.size(), 0);
    EXPECT_THROW(empty[0], SSA_math_exception::out_of_range);
    series s(std::vector<double>{1, 2, 3});
    EXPECT_EQ(s[2], 3);
    EXPECT_THROW(s[3], SSA_math_exception::out_of_range);
    EXPECT_THROW(s[-1], SSA_math_exception::out_of_range);
    try {
        s[3];
    } catch (const SSA_math_exception::ssa_exception& e) {
        EXPECT_EQ(e.message, "incorrect index in series::operator[]");
    }
}

TEST(Series, ResizeRejectsNegativeAndKeepsSeries) {
    series s(std::vector<double>{4, 5});
    EXPECT_THROW(s.resize(-1), SSA_math_exception::out_of_range);
    EXPECT_EQ(s.size(), 2);
    EXPECT_EQ(s[1], 5);
    s.resize(0);
    EXPECT_EQ(s.size(), 0);
}

TEST(Series, ExtremesAndAssignmentCopiesFormat) {
    EXPECT_EQ(series(std::vector<double>{2, 5, 5, 1}).max(), 5);
    EXPECT_EQ(series(std::vector<double>{3, 1, 1}).min(), 1);
    EXPECT_EQ(series(std::vector<double>{-3, -7}).max(), -3);
    EXPECT_THROW(series(0).max(), SSA_math_exception::out_of_range);

    series a(std::vector<double>{1.5});
    a.precision = 7;
    a.width = 4;
    series b(3);
    b = a;
    EXPECT_EQ(b.precision, 7);
    EXPECT_EQ(b.width, 4);
    EXPECT_EQ(b.size(), 1);
}

TEST(Series, ElementWise) {
    series a(std::vector<double>{1, 2, 3});
    a.add(series(std::vector<double>{1, 1, 1}));
    a.multiply(series(std::vector<double>{2, 3, 4}));
    EXPECT_EQ(a[0], 4);
    EXPECT_EQ(a[2], 16);
}

TEST(SeriesDeathTest, LengthMismatchEndsWithStatus2) {
    // The messages go to standard output; route it to standard error for the matcher.
    EXPECT_EXIT(
        {
            dup2(2, 1);
            series a(3);
            a.add(series(4));
        },
        testing::ExitedWithCode(2), "Error: Lengths of series isn't equal. Exiting...");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            series a(3);
            a.multiply(series(4));
        },
        testing::ExitedWithCode(2), "Error: Lengths of multiplicated series isn't equal. Exiting...");
    EXPECT_EXIT(
        {
            dup2(2, 1);
            series a(3);
            a.assign_values(series(2));
        },
        testing::ExitedWithCode(2), "Lengths of series isn't equal");
}

TEST(SeriesDeathTest, UnavailableFileEndsWithStatus1) {
    series s(std::vector<double>{1});
    EXPECT_EXIT(s.write("/nonexistent-dir/x.txt"), testing::ExitedWithCode(1),
                "Error\\[series\\]: file /nonexistent-dir/x.txt unavailable");
    EXPECT_EXIT(s.read("/nonexistent-dir/x.txt"), testing::ExitedWithCode(1), "unavailable");
}

TEST(Series, WriteAppendsOneFormattedLinePerCall) {
    const std::string p = temp_path("write.txt");
    series s(std::vector<double>{1.23456, 100});
    s.write(p);
    s.write(p);
    EXPECT_EQ(slurp(p), "      1.23       100\n      1.23       100\n");
    std::remove(p.c_str());
}

TEST(Series, ReadParsesSixCharactersAndStopsAtLongLine) {
    const std::string p = temp_path("read.txt");
    std::ofstream(p) << "123.4567\n2\n12345678901234567890123\n4\n";
    series s(std::vector<double>{-1, -1, -1, -1, -1});
    s.read(p);
    EXPECT_DOUBLE_EQ(s[0], 123.45);
    EXPECT_EQ(s[1], 2);
    EXPECT_EQ(s[2], -1);  // the over-long line ended the reading
    EXPECT_EQ(s[3], -1);

    std::ofstream(p) << "7\n";
    series t(std::vector<double>{0, 9});
    t.read(p);
    EXPECT_EQ(t[0], 7);
    EXPECT_EQ(t[1], 9);
    std::remove(p.c_str());
}

TEST(Object, EveryModelObjectSharesOneClassId) {
    struct a : t_object {};
    struct b : t_object {};
    EXPECT_EQ(a().get_id(), b().get_id());
    EXPECT_EQ(a().get_id(), 1);
}
