#include <gtest/gtest.h>
#include <unistd.h>
#include <cstdio>

#include "core/hooks.h"
#include "excel/excel.h"
#include "excel/workbook_reader.h"
#include "test_util.h"

using strings = std::vector<std::string>;

static std::string book(const std::string& name) { return std::string(KELVANE_WORKBOOKS) + "/" + name; }

TEST(WorkbookReader, EveryFormatGivesTheSameSheetsAndSeries) {
    // Named by content, not by extension: an upper-case name, an .xls named .dat, an .ods named .xlsx.
    for (const char* name : {"book.xls", "book.xlsx", "book.ods", "upper.XLSX", "xls-named.dat", "ods-as.xlsx"}) {
        SCOPED_TRACE(name);
        const std::string path = book(name);
        ASSERT_TRUE(names_workbook(path));
        CExcel b;
        b.load(path);
        ASSERT_EQ(b.sheet_count(), 2);
        EXPECT_EQ(b.sheet_name(1) + " " + b.sheet_name(2), "Monthly Yearly");
        EXPECT_EQ(excel_column_names(b, 1),
                  (std::vector<excel_column>{{1, "month"}, {2, "co2"}, {3, "note"}, {4, "flag"}}));
        EXPECT_EQ(b.cell(1, 2, 3), "text 0");
        EXPECT_EQ(b.cell(1, 2, 5), "1959-01-31T12:00:00");
        EXPECT_EQ(b.cell(1, 8, 1), "1.5");  // a number under the dates stays one

        // Zeros do not end the run, the empty cell does; date ticks keep their ISO texts.
        t_ts monthly, yearly;
        monthly.load(path, excel_choice{"", 2, 1});
        EXPECT_EQ(values_of(monthly), (std::vector<double>{315.42, 316.31, 0, 0, 317.1}));
        EXPECT_EQ(*monthly.ticks(), (strings{"1959-01-28", "1959-02-28", "1959-03-28", "1959-04-28", "1959-05-28"}));
        EXPECT_EQ(monthly.title(), "co2");

        yearly.load(path, excel_choice{"2", 3, 1});
        EXPECT_EQ(values_of(yearly), (std::vector<double>{0.1, 2.5, -3.75, 1e-7}));
        EXPECT_EQ(*yearly.ticks(), (strings{"1990", "1991", "1992", "1993"}));
    }
}

TEST(WorkbookReader, CellsOfOneFormat) {
    struct { const char* file; int sheet, row, col; const char* text; } cases[] = {
        {"book.xlsx", 1, 1, 3, "note"},  // rich-text runs, the phonetic one left out
        {"book.xlsx", 1, 3, 4, "FALSE"}, {"book.xlsx", 2, 2, 2, "inline"}, {"book.ods", 1, 2, 4, "TRUE"},
        {"book.xlsx", 1, 2, 6, "1959-01-31"},  // built-in date format 14
        {"book.ods", 2, 6, 3, "a  b\nc"},  // <text:s c="2"/>, a span, two paragraphs
        {"book.ods", 2, 8, 3, "7"},         // a repeated row of repeated cells
        {"text-as.xls", 1, 2, 2, "1.5"},    // a text table saved as .xls
    };
    for (const auto& c : cases) {
        CExcel b;
        b.load(book(c.file));
        EXPECT_EQ(b.cell(c.sheet, c.row, c.col), c.text) << c.file << " " << c.row << "," << c.col;
    }
    // A million blank rows and thousands of blank columns below the data are not kept.
    CExcel ods;
    ods.load(book("book.ods"));
    EXPECT_EQ(std::make_pair(ods.row_count(1), ods.column_count(1)), std::make_pair(8, 5));
}

TEST(WorkbookReader, DamagedFilesGiveOneMessage) {
    const std::string unreadable = "the file is not a readable workbook (";
    struct { const char* file; std::string message; } cases[] = {
        {"encrypted.xls", "the workbook is encrypted"}, {"encrypted.ods", "the workbook is encrypted"},
        {"truncated.xls", unreadable + "truncated compound file)"},
        {"bad-directory.xls", unreadable + "damaged compound file directory)"},
        {"two-dimensions.xls", unreadable + "a worksheet with a damaged DIMENSIONS record)"},
        {"long-format.xls", unreadable + "a damaged string record)"},
        {"corrupt.xlsx", unreadable + "part xl/worksheets/sheet1.xml is damaged: Zlib error: data error)"},
        {"other.zip", unreadable + "a zip archive that holds no spreadsheet)"},
        {"binary.xls", unreadable + "neither a workbook nor a text table: not a text file (it holds NUL bytes))"},
        // Refused from the zip headers, before the part is inflated.
        {"huge.xlsx", unreadable + "part xl/worksheets/sheet1.xml declares 4294967040 bytes, more than the 256 MB allowed)"},
        {"bomb.xlsx", unreadable + "part xl/worksheets/sheet1.xml declares 209715200 bytes from 512 compressed ones (method 8))"},
        {"repeated.ods", "the workbook is too large (more than 16777216 cells or 256 MB of text)"},
    };
    for (const auto& c : cases) EXPECT_EQ(load_error(book(c.file)), book(c.file) + ": " + c.message);
}

TEST(WorkbookReader, NamesWorkbook) {
    const std::string none = testing::TempDir() + "kelvane_no_such_dir/";
    for (const char* name : {"a.XLS", "d.Ods"}) EXPECT_TRUE(names_workbook(none + name)) << name;
    for (const char* name : {"a.xlsx.txt", "xls"}) EXPECT_FALSE(names_workbook(none + name)) << name;
    EXPECT_FALSE(names_workbook(std::string(KELVANE_DATA) + "/co2.dat"));
}

TEST(WorkbookReader, SerialDates) {
    // After the 29 February 1900 the 1900 system counts; .99999999 rounds to the next midnight.
    struct { double serial; bool date1904, time_only; const char* text; } cases[] = {
        {59, false, false, "1900-02-28"}, {61, false, false, "1900-03-01"}, {0, true, false, "1904-01-01"},
        {0.75, false, true, "18:00:00"}, {21581.99999999, false, false, "1959-02-01"}, {-1, false, false, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(workbook::serial_date_text(c.serial, c.date1904, c.time_only), c.text) << c.serial;
}

TEST(WorkbookReader, CustomFormatsThatWriteDates) {
    using workbook::date_kind;
    // A locale in brackets, a text section, an escaped hyphen; fractions of seconds; quoted text.
    struct { const char* code; date_kind kind; } cases[] = {
        {"[$-409]d-mmm-yy;@", date_kind::date}, {"mm:ss.00", date_kind::time}, {"[Red]0.0%", date_kind::none},
    };
    for (const auto& c : cases) EXPECT_EQ(workbook::custom_format_kind(c.code), c.kind) << c.code;
}

// A cancel from the progress hook leaves every reader, the C ones included, with nothing leaked.
TEST(WorkbookReader, ReadingReportsProgressAndACancelGetsThrough) {
    struct cancelled {};
    const std::string csv = testing::TempDir() + "/long-" + std::to_string(::getpid()) + ".csv";
    std::ofstream out(csv);
    for (int t = 0; t < 300000; ++t) out << t << "," << t * 0.5 << "\n";  // several parser pieces
    out.close();
    for (const std::string& path : {book("book.xls"), book("book.xlsx"), book("book.ods"), csv}) {
        std::string stage;
        const scoped_progress_hook stop([&](const char* s, long long, long long) { stage = s, throw cancelled{}; }, false);
        CExcel b;
        EXPECT_THROW(b.load(path), cancelled) << path;
        EXPECT_NE(stage.find("reading the"), std::string::npos) << path;
    }
    std::remove(csv.c_str());
}
