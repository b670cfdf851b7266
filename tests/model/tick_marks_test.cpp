#include <gtest/gtest.h>

#include "test_util.h"
#include "timeseries/tick_marks.h"

using marks = std::vector<std::string>;

TEST(TickMarks, RegularNumbersGoOnByTheirStepWithTheirDecimals) {
    // Monthly decimal years rounded to two places: no two differences need agree.
    const marks co2 = continued_ticks(*data_series("co2.dat").ticks(), 13);
    EXPECT_EQ(marks(co2.begin(), co2.begin() + 3), (marks{"1998.00", "1998.08", "1998.17"}));
    EXPECT_EQ(co2.back(), "1999.00");
    EXPECT_EQ(continued_ticks({"1990", "1991", "1992"}, 2), (marks{"1993", "1994"}));
    EXPECT_EQ(continued_ticks({"10", "5", "0"}, 2), (marks{"-5", "-10"}));
}

TEST(TickMarks, IsoDaysAndMonthsCrossMonthsYearsAndLeapDays) {
    EXPECT_EQ(continued_ticks({"2024-02-26", "2024-02-27", "2024-02-28"}, 3),
              (marks{"2024-02-29", "2024-03-01", "2024-03-02"}));
    EXPECT_EQ(continued_ticks({"1999-12-17", "1999-12-24"}, 2), (marks{"1999-12-31", "2000-01-07"}));
    EXPECT_EQ(continued_ticks({"2022-07", "2022-10"}, 2), (marks{"2023-01", "2023-04"}));
    // Month ends (the dates of a workbook's monthly column) stay month ends.
    EXPECT_EQ(continued_ticks({"2023-10-31", "2023-11-30", "2023-12-31"}, 3),
              (marks{"2024-01-31", "2024-02-29", "2024-03-31"}));
    // One day of the month: cut to a shorter month, kept after it.
    EXPECT_EQ(continued_ticks({"2023-08-30", "2023-11-30"}, 2), (marks{"2024-02-29", "2024-05-30"}));
}

TEST(TickMarks, IrregularMarksGiveThePositions) {
    const std::vector<marks> irregular = {
        {"1990.5", "1991.0", "1991.8"},              // uneven beyond the precision written
        {"Jan", "Feb", "Mar"},                       // texts
        {"2023-01-05", "2023-02-07", "2023-03-05"},  // neither a day step nor one day of the month
        {"2023-02-27", "2023-02-30"},                // no such date
        {"1990"},                                    // no step to take
    };
    for (const marks& m : irregular) {
        marks expected;
        for (size_t k = 1; k <= 2; ++k) expected.push_back(std::to_string(m.size() + k));
        EXPECT_EQ(continued_ticks(m, 2), expected) << m[0];
    }
    EXPECT_EQ(continued_ticks({}, 2), (marks{"1", "2"}));
}
