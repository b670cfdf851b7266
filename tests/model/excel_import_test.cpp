#include <gtest/gtest.h>
#include <unistd.h>

#include "core/hooks.h"
#include "excel/excel.h"
#include "test_util.h"

using strings = std::vector<std::string>;

namespace {

std::string write_file(const std::string& name, const std::string& content) {
    const std::string p = testing::TempDir() + "kelvane_excel_" + std::to_string(getpid()) + "_" + name;
    std::ofstream(p, std::ios::binary) << content;
    return p;
}

CExcel read_text(const std::string& name, const std::string& content) {
    CExcel book;
    book.load(write_file(name, content));
    return book;
}

}  // namespace

TEST(ExcelImport, CsvCellsDelimitersAndQuoting) {
    struct { const char* name; const char* content; std::vector<strings> rows; } cases[] = {
        {"semi.CSV", "a;b\r\n1,5;\"x;y\"\n", {{"a", "b"}, {"1,5", "x;y"}}},
        {"tab.tsv", "a\tb c\n\t2\n", {{"a", "b c"}, {"", "2"}}},
        // Quoted delimiters, doubled quotes and line breaks inside quotes; a quoted semicolon is no delimiter.
        {"quoted.csv", "\"x;1\",\"he said \"\"hi\"\"\"\n\"two\nlines\",3\n",
         {{"x;1", "he said \"hi\""}, {"two\nlines", "3"}}},
    };
    for (const auto& c : cases) {
        const CExcel book = read_text(c.name, c.content);
        ASSERT_EQ(book.sheet_count(), 1) << c.name;
        EXPECT_EQ(book.sheets()[0].rows, c.rows) << c.name;
    }
}

TEST(ExcelImport, RefusedFiles) {
    EXPECT_EQ(thrown([] { read_text("nul.csv", std::string("1,2\n\0\n", 6)); }), "not a text file (it holds NUL bytes)");
    EXPECT_NE(thrown([] { read_text("open.csv", "\"unterminated,1\n"); }).find("malformed CSV file"), std::string::npos);
}

TEST(ExcelImport, ACellIsANumberOnlyWhenAllOfItIsOneFiniteNumber) {
    struct { const char* text; bool decimal_comma; excel_cell::kind_t kind; } cases[] = {
        {"0,0", false, excel_cell::number}, {" -2.5e3 ", false, excel_cell::number}, {",", false, excel_cell::text},
        {"1959-01", false, excel_cell::text}, {"0x10", false, excel_cell::text}, {"nan", false, excel_cell::not_finite},
        {"-1e999", true, excel_cell::not_finite},
    };
    for (const auto& c : cases) EXPECT_EQ(excel_cell_number(c.text, c.decimal_comma).kind, c.kind) << c.text;
    EXPECT_EQ(excel_number("1,5", true), 1.5);
    EXPECT_EQ(excel_cell_name(1, 28), "AB1");
}

TEST(ExcelImport, ColumnNamesOfTheUsedRange) {
    using names = std::vector<excel_column>;
    struct { const char* content; names expected; } cases[] = {
        // The header ends at its first empty cell; only the row above the data is one.
        {"title\nyear,co2,,x\n1990,315\n", {{1, "year"}, {2, "co2"}}},
        {"1990,315,\n1991,316,\n", {{1, "Column 1"}, {2, "Column 2"}, {3, "Column 3"}}},
        {"\n,,1\n,,2\n", {{3, "Column 3"}}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(excel_column_names(read_text("names.csv", c.content), 1), c.expected) << c.content;
}

TEST(ExcelImport, DataRunAndTickMarks) {
    struct { const char *name, *content, *sheet; int column, ticks_column; std::vector<double> values; strings ticks;
             std::string title; } cases[] = {
        // A gap ends the run: the values below it are not read.
        {"gap.csv", "1,10\n2,\n3,30\n", "1", 2, 0, {10}, {}, ""},
        // Tick marks go through "%g"; a date column keeps its texts.
        {"g.csv", "1.50,7\n2.00,8\n", "", 2, 1, {7, 8}, {"1.5", "2"}, ""},
        {"dates.tsv", "month\tv\n1959-01\t1\n1959-02\t2\n", "", 0, 1, {1, 2}, {"1959-01", "1959-02"}, "v"},
        // The run starts at the first number even below text rows, and the last row counts.
        {"late.csv", "x\nnote,\n,\nv\n1\n2\n", "", 1, 0, {1, 2}, {}, "v"},
        // A blank line ends the run as an empty cell does, also between CR LF lines.
        {"blankcrlf.csv", "v\r\n1\r\n2\r\n\r\n4\r\n", "", 1, 0, {1, 2}, {}, "v"},
        {"thousands.csv", "v\n5\n\"1,000\"\n7\n", "", 1, 0, {5}, {}, "v"},  // grouped thousands are text
    };
    for (const auto& c : cases) {
        t_ts ts;
        import_excel(read_text(c.name, c.content), excel_choice{c.sheet, c.column, c.ticks_column}, ts);
        EXPECT_EQ(values_of(ts), c.values) << c.name;
        EXPECT_EQ(ts.ticks() ? *ts.ticks() : strings(), c.ticks) << c.name;
        EXPECT_EQ(ts.title(), c.title) << c.name;
    }
}

TEST(ExcelImport, ARunThatStopsEarlySaysSo) {
    for (const auto& [content, notes] : std::vector<std::pair<const char*, strings>>{
             {"x,1\nx,n/a\nx,3\n", {"1 value read from column 2; row 2 holds text and 1 more number follows it"}},
             {"v\n1\n2\n\nnote\n", {}}}) {
        strings told;
        scoped_notify_hook record([&](const std::string& text, const std::string&, notify_icon) { told.push_back(text); });
        t_ts ts;
        import_excel(read_text("stop.csv", content), excel_choice{}, ts);
        EXPECT_EQ(told, notes) << content;
    }
}

TEST(ExcelImport, ANonFiniteNumberInTheRunIsRefusedByItsCell) {
    t_ts ts;
    EXPECT_EQ(thrown([&] { import_excel(read_text("finite.csv", "t;v\n1;2\n2;1e999\n"), excel_choice{"", 2, 0}, ts); }),
              "B3: not a finite number");
}

TEST(ExcelImport, LoadSendsCsvToTheImportAndReportsMissingChoices) {
    // The text reader took "1990,315.42" for the value 1990.
    const std::string path = write_file("load.csv", "1959-01,315.42\n1959-02,316.25\n");
    t_ts ts;
    ts.load(path);
    EXPECT_EQ(values_of(ts), (std::vector<double>{315.42, 316.25}));

    const std::string sheet = "kelvane_excel_" + std::to_string(getpid()) + "_load";
    EXPECT_EQ(load_error(path, excel_choice{"2", 0, 0}), path + ": no worksheet \"2\" in the file (it has 1)");
    EXPECT_EQ(load_error(path, excel_choice{"", 2, 9}), path + ": no tick-mark column 9 in worksheet \"" + sheet + "\" (it has 2)");
}
