#include <gtest/gtest.h>

#include "test_util.h"

using strings = std::vector<std::string>;

TEST(TimeSeries, TickMarksOfConstructorsAndCopies) {
    const t_ts from_series(series(std::vector<double>{4, 5, 6}));
    EXPECT_EQ(*from_series.ticks(), (strings{"1", "2", "3"}));

    // A copy of a series without tick marks gets empty ones.
    t_ts bare;
    bare = series(std::vector<double>{7, 8});
    bare.set_title("t");
    const t_ts copy(bare);
    EXPECT_EQ(*copy.ticks(), (strings{"", ""}));
    EXPECT_EQ(copy.title(), "t");
}

TEST(TimeSeries, AssignmentCopiesTickMarksOnlyWhenTheyBelongToTheSeries) {
    t_ts with(series(std::vector<double>{1, 2}));
    strings one{"x"};
    with.set_ticks(&one);
    t_ts target;
    target = with;
    EXPECT_EQ(*target.ticks(), (strings{"x", ""}));  // padded, not read past the end

    t_ts without(std::vector<double>{1, 2, 3});
    without.set_title("w");
    target = without;
    EXPECT_EQ(target.ticks(), nullptr);
    EXPECT_EQ(target.title(), "w");

    // Assigning values drops tick marks and title but keeps the flag.
    with.set_title("old");
    with = series(std::vector<double>{9, 8, 7});
    EXPECT_EQ(with.ticks(), nullptr);
    EXPECT_EQ(with.title(), "");
    EXPECT_TRUE(with.has_ticks());
}

using LoadFile = scratch;

TEST_F(LoadFile, NameOrContentChoosesTheReader) {
    // A text table named .xls is read as one; a file named .xlsx must be a zip.
    const std::string inf = "value on line 3 is not a finite number";
    const std::pair<const char*, std::string> cases[] = {
        {"DATA.XLS", "loaded"}, {"dataxls", inf}, {"book.xlsx", "the file is not a readable workbook (it is no zip archive)"}};
    for (const auto& [name, message] : cases) {
        const std::string p = file(name, "1\n# c\n1e400\n");
        EXPECT_EQ(load_error(p), message == "loaded" ? message : p + ": " + message);
    }
}
