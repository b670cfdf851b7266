// A workbook as text: its worksheets in order, each a name and rows of cell
// texts. Readers fill it; the import of a series reads it.
#pragma once

#include <string>
#include <vector>

class CExcel {
public:
    struct worksheet {
        std::string name;
        std::vector<std::vector<std::string>> rows;
    };

    // Forgets the previous contents and reads the file; throws file_exception
    // when it cannot be read. The reader is chosen by the file's first bytes:
    // .xls (OLE2), .xlsx/.xlsm or .ods (zip), else CSV/TSV text.
    void load(const std::string& path);

    int sheet_count() const { return static_cast<int>(m_sheets.size()); }
    // All 1-based. Out of range rows, columns or sheets give empty text.
    const std::string& sheet_name(int sheet) const;
    std::string cell(int sheet, int row, int col) const;
    int row_count(int sheet) const;
    // The number of cells of one row, empty ones included.
    int row_width(int sheet, int row) const;
    // The widest row's cell count.
    int column_count(int sheet) const;
    // The numbers of a column over rows first..last; empty when the column
    // does not exist.
    std::vector<double> column_values(int sheet, int first, int last, int col) const;

    // Set by the CSV reader for ';'-separated files, whose numbers may use ','.
    bool decimal_comma() const { return m_decimal_comma; }

    std::vector<worksheet>& sheets() { return m_sheets; }
    const std::vector<worksheet>& sheets() const { return m_sheets; }
    void set_decimal_comma(bool b) { m_decimal_comma = b; }

private:
    std::vector<worksheet> m_sheets;
    bool m_decimal_comma = false;
};

// A cell's value as atof reads it; with decimal_comma a ',' stands for '.'.
double excel_number(const std::string& text, bool decimal_comma);
// Non-empty and either nonzero or made only of '0', '.' and ',' (so 0, 0.0 and
// 0,0 count while a title does not).
bool excel_is_number(const std::string& text, bool decimal_comma);

// The entries the column list offers for a worksheet: the header row's texts
// (up to its first empty cell) when the first row with a nonzero number in
// column 1 is not row 1, else "Column 1", "Column 2", ... for row 1's cells.
std::vector<std::string> excel_column_names(const CExcel& book, int sheet);

// Stricter: the whole text is one number, so a date such as 1959-01 is not.
bool excel_is_plain_number(const std::string& text, bool decimal_comma);

// True for a path ending in .csv or .tsv, any case.
bool names_csv(const std::string& path);

// True for a path ending in .xls, .xlsx, .xlsm, .ods, .csv or .tsv (any case)
// and for a file of any name that starts like an .xls or a zip workbook.
bool names_workbook(const std::string& path);

// Reads a CSV or TSV file into book as one worksheet named after the file.
void read_csv(const std::string& path, CExcel& book);
