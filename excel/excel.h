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

// A cell is a number when all of it, blanks trimmed, is one decimal number
// ("1,000", "0x10", "1 234" and "1.5e3x" are text); with decimal_comma a ','
// stands for '.'. Zeros with points and commas ("0,0") are 0 in any file.
// A number beyond the doubles' range and a spelled inf or nan are
// not_finite, which the import refuses rather than reading as text.
struct excel_cell {
    enum kind_t { text, number, not_finite } kind = text;
    double value = 0;
};
excel_cell excel_cell_number(const std::string& text, bool decimal_comma);
// The number of a cell; 0 for any other text.
double excel_number(const std::string& text, bool decimal_comma);
bool excel_is_number(const std::string& text, bool decimal_comma);

// "C7" for row 7 of column 3.
std::string excel_cell_name(int row, int col);

// The entries the column list offers for a worksheet, from the first column of
// its used range: the header row's texts (up to its first empty cell) when the
// first row whose cell there starts with a nonzero number (atof's reading, so
// a date counts) is not the range's first, else "Column 3", ... (counted
// from column A) for the first row's cells.
struct excel_column {
    int column;  // 1-based, from column A
    std::string name;
    bool operator==(const excel_column& o) const { return column == o.column && name == o.name; }
};
std::vector<excel_column> excel_column_names(const CExcel& book, int sheet);

// True for a path ending in .csv or .tsv, any case.
bool names_csv(const std::string& path);

// True for a path ending in .xls, .xlsx, .xlsm, .ods, .csv or .tsv (any case)
// and for a file of any name that starts like an .xls or a zip workbook.
bool names_workbook(const std::string& path);

// Reads a CSV or TSV file into book as one worksheet named after the file.
void read_csv(const std::string& path, CExcel& book);
