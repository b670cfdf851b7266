#include "excel.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "core/ssa_exception.h"

void CExcel::load(const std::string& path) {
    m_sheets.clear();
    m_decimal_comma = false;
    if (!names_csv(path))
        throw SSA_math_exception::file_exception(path, "workbook files are not supported yet");
    read_csv(path, *this);
}

const std::string& CExcel::sheet_name(int sheet) const {
    static const std::string none;
    return sheet >= 1 && sheet <= sheet_count() ? m_sheets[sheet - 1].name : none;
}

std::string CExcel::cell(int sheet, int row, int col) const {
    if (sheet < 1 || sheet > sheet_count() || row < 1 || col < 1) return {};
    const auto& rows = m_sheets[sheet - 1].rows;
    if (row > static_cast<int>(rows.size())) return {};
    const auto& r = rows[row - 1];
    return col <= static_cast<int>(r.size()) ? r[col - 1] : std::string();
}

int CExcel::row_count(int sheet) const {
    return sheet >= 1 && sheet <= sheet_count() ? static_cast<int>(m_sheets[sheet - 1].rows.size()) : 0;
}

int CExcel::row_width(int sheet, int row) const {
    if (sheet < 1 || sheet > sheet_count() || row < 1 || row > row_count(sheet)) return 0;
    return static_cast<int>(m_sheets[sheet - 1].rows[row - 1].size());
}

int CExcel::column_count(int sheet) const {
    size_t n = 0;
    if (sheet >= 1 && sheet <= sheet_count())
        for (const auto& r : m_sheets[sheet - 1].rows) n = std::max(n, r.size());
    return static_cast<int>(n);
}

std::vector<double> CExcel::column_values(int sheet, int first, int last, int col) const {
    std::vector<double> v;
    if (col < 1 || col > column_count(sheet)) return v;
    for (int r = first; r <= last; ++r) v.push_back(excel_number(cell(sheet, r, col), m_decimal_comma));
    return v;
}

double excel_number(const std::string& text, bool decimal_comma) {
    if (!decimal_comma) return std::atof(text.c_str());
    std::string t = text;
    for (char& c : t)
        if (c == ',') c = '.';
    return std::atof(t.c_str());
}

bool excel_is_number(const std::string& text, bool decimal_comma) {
    if (text.empty()) return false;
    if (excel_number(text, decimal_comma) != 0) return true;
    return text.find_first_not_of("0.,") == std::string::npos;
}

bool excel_is_plain_number(const std::string& text, bool decimal_comma) {
    std::string t = text;
    if (decimal_comma)
        for (char& c : t)
            if (c == ',') c = '.';
    const char* begin = t.c_str();
    char* end = nullptr;
    std::strtod(begin, &end);
    if (end == begin) return false;
    while (*end == ' ') ++end;
    return *end == '\0';
}

std::vector<std::string> excel_column_names(const CExcel& book, int sheet) {
    const int m = book.row_count(sheet);
    int r = 1;
    while (r <= m && excel_number(book.cell(sheet, r, 1), book.decimal_comma()) == 0) ++r;
    std::vector<std::string> names;
    if (r > 1 && r <= m) {
        for (int c = 1;; ++c) {
            std::string t = book.cell(sheet, r - 1, c);
            if (t.empty()) break;
            names.push_back(std::move(t));
        }
        return names;
    }
    // No header row (or no number at all): one entry per cell of row 1.
    char buf[32];
    for (int c = 1; m >= 1 && c <= book.row_width(sheet, 1); ++c) {
        std::snprintf(buf, sizeof buf, "Column %d", c);
        names.push_back(buf);
    }
    return names;
}

bool names_csv(const std::string& path) {
    if (path.size() < 4) return false;
    std::string ext = path.substr(path.size() - 4);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".csv" || ext == ".tsv";
}

bool names_workbook(const std::string& path) {
    if (names_csv(path)) return true;
    const size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.') return false;
    std::string ext = path.substr(dot);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return ext == ".xls" || ext == ".xlsx" || ext == ".xlsm" || ext == ".ods";
}
