#include <gtest/gtest.h>
#include <unistd.h>

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
    struct {
        const char* name;
        const char* content;
        std::vector<strings> rows;
    } cases[] = {
        {"comma.csv", "a,b\r\n1,2\r\n", {{"a", "b"}, {"1", "2"}}},
        {"semi.CSV", "a;b\n1,5;\"x;y\"\n", {{"a", "b"}, {"1,5", "x;y"}}},
        {"tab.tsv", "a\tb c\n\t2\n", {{"a", "b c"}, {"", "2"}}},
        // RFC 4180: quoted delimiters, doubled quotes and line breaks inside quotes.
        {"quoted.csv", "\"x,1\",\"he said \"\"hi\"\"\"\n\"two\nlines\",3\n",
         {{"x,1", "he said \"hi\""}, {"two\nlines", "3"}}},
        // A semicolon quoted in the first line does not make it the delimiter.
        {"quotedsemi.csv", "\"a;b\",c\n", {{"a;b", "c"}}},
    };
    for (const auto& c : cases) {
        const CExcel book = read_text(c.name, c.content);
        ASSERT_EQ(book.sheet_count(), 1) << c.name;
        EXPECT_EQ(book.sheets()[0].rows, c.rows) << c.name;
    }
    const CExcel book = read_text("named.csv", "1\n");
    EXPECT_EQ(book.sheet_name(1), "kelvane_excel_" + std::to_string(getpid()) + "_named");
    EXPECT_EQ(book.cell(2, 1, 1), "");
}

TEST(ExcelImport, RefusedFiles) {
    EXPECT_EQ(thrown([] { read_text("nul.csv", std::string("1,2\n\0\n", 6)); }), "not a text file (it holds NUL bytes)");
    EXPECT_NE(thrown([] { read_text("open.csv", "\"unterminated,1\n"); }).find("malformed CSV file"), std::string::npos);
    EXPECT_NE(thrown([] { CExcel().load(testing::TempDir() + "none/x.csv"); }).find("unable to open"), std::string::npos);
}

TEST(ExcelImport, IsANumber) {
    struct {
        const char* text;
        bool decimal_comma, number, plain;
    } cases[] = {
        {"0.0", false, true, true},   {"0,0", true, true, true},     {"0,0", false, true, false},
        {"-2.5e3", false, true, true}, {"", false, false, false},    {"year", false, false, false},
        {"1959-01", false, true, false}, {"0 km", false, false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(excel_is_number(c.text, c.decimal_comma), c.number) << c.text;
        EXPECT_EQ(excel_is_plain_number(c.text, c.decimal_comma), c.plain) << c.text;
    }
    EXPECT_EQ(excel_number("1,5", true), 1.5);
}

TEST(ExcelImport, ColumnNames) {
    struct {
        const char* content;
        strings names;
    } cases[] = {
        {"year,co2,note\n1990,315,a\n", {"year", "co2", "note"}},
        // The header ends at its first empty cell; only the row above the data is one.
        {"title\nyear,co2,,x\n1990,315\n", {"year", "co2"}},
        {"1990,315,\n1991,316,\n", {"Column 1", "Column 2", "Column 3"}},
    };
    for (const auto& c : cases) EXPECT_EQ(excel_column_names(read_text("names.csv", c.content), 1), c.names) << c.content;
}

TEST(ExcelImport, DataRunAndTickMarks) {
    struct {
        const char* name;
        const char* content;
        const char* sheet;
        int column, ticks_column;
        std::vector<double> values;
        strings ticks;
        std::string title;
    } cases[] = {
        {"header.csv", "year,co2\n1990,315.42\n1991,316.5\n", "", 2, 1, {315.42, 316.5}, {"1990", "1991"}, "co2"},
        // A gap ends the run: the values below it are not read.
        {"gap.csv", "1,10\n2,\n3,30\n", "1", 2, 0, {10}, {}, ""},
        {"zeros.csv", "1;0\n2;0,0\n3;5,5\n", "", 2, 1, {0, 0, 5.5}, {"1", "2", "3"}, ""},
        // Tick marks go through "%g"; a date column keeps its texts.
        {"g.csv", "1.50,7\n2.00,8\n", "", 2, 1, {7, 8}, {"1.5", "2"}, ""},
        {"dates.tsv", "month\tv\n1959-01\t1\n1959-02\t2\n", "", 0, 1, {1, 2}, {"1959-01", "1959-02"}, "v"},
        // Tick column left of or right of the data column alike.
        {"order.csv", "5,a\n6,b\n", "", 1, 2, {5, 6}, {"a", "b"}, ""},
        // The run starts at the first number even below text rows, and the last row counts.
        {"late.csv", "x\nnote,\n,\nv\n1\n2\n", "", 1, 0, {1, 2}, {}, "v"},
    };
    for (const auto& c : cases) {
        t_ts ts;
        import_excel(read_text(c.name, c.content), excel_choice{c.sheet, c.column, c.ticks_column}, ts);
        EXPECT_EQ(values_of(ts), c.values) << c.name;
        EXPECT_EQ(ts.ticks() ? *ts.ticks() : strings(), c.ticks) << c.name;
        EXPECT_EQ(ts.title(), c.title) << c.name;
    }
}

TEST(ExcelImport, LoadSendsCsvToTheImportAndReportsMissingChoices) {
    // The text reader took "1990,315.42" for the value 1990.
    const std::string path = write_file("load.csv", "1959-01,315.42\n1959-02,316.25\n");
    t_ts ts;
    ts.load(path);
    EXPECT_EQ(values_of(ts), (std::vector<double>{315.42, 316.25}));

    const std::string sheet = "kelvane_excel_" + std::to_string(getpid()) + "_load";
    struct {
        const char* sheet;
        int column, ticks;
        std::string message;
    } errors[] = {
        {"2", 0, 0, "no worksheet \"2\" in the file (it has 1)"},
        {"", 3, 0, "no column 3 in worksheet \"" + sheet + "\" (it has 2)"},
        {"", 2, 9, "no tick-mark column 9 in worksheet \"" + sheet + "\" (it has 2)"},
    };
    for (const auto& e : errors)
        EXPECT_EQ(load_error(path, excel_choice{e.sheet, e.column, e.ticks}), path + ": " + e.message);
}
