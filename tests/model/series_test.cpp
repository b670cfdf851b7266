#include <gtest/gtest.h>

#include "core/series.h"
#include "test_util.h"

using SSA_math_exception::out_of_range;

TEST(Series, CheckedAccessAndExtremes) {
    series s(std::vector<double>{-3, -7});
    EXPECT_THROW(s[2], out_of_range);
    EXPECT_EQ(thrown<out_of_range>([&] { s[-1]; }), "incorrect index in series::operator[]");
    EXPECT_THROW(s.resize(-1), out_of_range);
    EXPECT_EQ(s.max(), -3);  // a refused resize keeps the values
    EXPECT_THROW(series(0).max(), out_of_range);
}

TEST(Series, LengthMismatchOrUnavailableFileThrowsItsKind) {
    auto mismatch = [](void (series::*op)(const series&)) { return [op] { series a(3); (a.*op)(series(4)); }; };
    series s(std::vector<double>{1});
    const std::pair<std::function<void()>, std::string> cases[] = {
        {mismatch(&series::add), "internal 2: Error: Lengths of series isn't equal. Exiting...\n"},
        {mismatch(&series::multiply), "internal 2: Error: Lengths of multiplicated series isn't equal. Exiting...\n"},
        {[&] { s.read("/nonexistent-dir/x.txt"); }, "file: Error[series]: file /nonexistent-dir/x.txt unavailable\n"},
    };
    for (const auto& [f, expected] : cases) EXPECT_EQ(failure_of(f), expected);
}

using SeriesFile = scratch;

TEST_F(SeriesFile, WriteAppendsAndReadParsesSixCharactersUpToALongLine) {
    const std::string p = dir + "/series.txt";
    series s(std::vector<double>{1.23456, 100});
    s.write(p);
    s.write(p);
    EXPECT_EQ(slurp(p), "      1.23       100\n      1.23       100\n");

    std::ofstream(p) << "123.4567\n2\n12345678901234567890123\n4\n";
    series r(std::vector<double>{-1, -1, -1, -1});
    r.read(p);
    EXPECT_DOUBLE_EQ(r[0], 123.45);
    EXPECT_EQ(r[3], -1);  // the over-long line ended the reading
}
