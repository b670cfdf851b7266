#include "excel.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>

#include "core/ssa_exception.h"
#include "workbook_reader.h"
#include "zip_archive.h"

namespace {

const char ole2_signature[] = "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1";
const char zip_signature[] = "PK\x03\x04";

enum class format { ole2, zip, other };

format sniff(const std::string& path, bool must_open) {
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open()) {
        if (!must_open) return format::other;
        throw SSA_math_exception::file_exception(
            path, std::string("unable to open data file") + (errno ? std::string(" (") + std::strerror(errno) + ")" : ""));
    }
    char head[8] = {};
    in.read(head, sizeof head);
    const auto got = static_cast<size_t>(in.gcount());
    if (got == 8 && std::memcmp(head, ole2_signature, 8) == 0) return format::ole2;
    if (got >= 4 && std::memcmp(head, zip_signature, 4) == 0) return format::zip;
    return format::other;
}

bool ends_with_any_case(const std::string& path, const char* ext) {
    const size_t n = std::strlen(ext);
    if (path.size() < n) return false;
    for (size_t i = 0; i < n; ++i) {
        char c = path[path.size() - n + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != ext[i]) return false;
    }
    return true;
}

void read_zip_workbook(const std::string& path, CExcel& book) {
    bool ods = false, xlsx = false;
    {
        const workbook::zip_archive zip(path);
        if (zip.has("mimetype")) {
            const std::string type = zip.read("mimetype");
            ods = type.compare(0, 46, "application/vnd.oasis.opendocument.spreadsheet") == 0;
            if (!ods) workbook::damaged(path, "an OpenDocument file of type " + type.substr(0, 80) + ", not a spreadsheet");
        }
        xlsx = !ods && (zip.has("[Content_Types].xml") || zip.has("xl/workbook.xml"));
        if (!ods && !xlsx) ods = zip.has("content.xml");
    }
    if (ods)
        workbook::read_ods(path, book);
    else if (xlsx)
        workbook::read_xlsx(path, book);
    else
        workbook::damaged(path, "a zip archive that holds no spreadsheet");
}

}  // namespace

void CExcel::load(const std::string& path) {
    m_sheets.clear();
    m_decimal_comma = false;
    // The content decides, not the name: a workbook saved under another name opens.
    switch (sniff(path, true)) {
    case format::ole2:
        workbook::read_xls(path, *this);
        return;
    case format::zip:
        read_zip_workbook(path, *this);
        return;
    case format::other:
        break;
    }
    if (ends_with_any_case(path, ".xlsx") || ends_with_any_case(path, ".xlsm") || ends_with_any_case(path, ".ods"))
        workbook::damaged(path, "it is no zip archive");
    if (names_csv(path)) {
        read_csv(path, *this);
        return;
    }
    // Web sites often serve a text table as .xls: read it as one, but a
    // refusal speaks of the workbook the name promised.
    try {
        read_csv(path, *this);
    } catch (const SSA_math_exception::file_exception& e) {
        workbook::damaged(path, "neither a workbook nor a text table: " + e.message);
    }
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

bool names_csv(const std::string& path) { return ends_with_any_case(path, ".csv") || ends_with_any_case(path, ".tsv"); }

bool names_workbook(const std::string& path) {
    for (const char* ext : {".xls", ".xlsx", ".xlsm", ".ods"})
        if (ends_with_any_case(path, ext)) return true;
    return names_csv(path) || sniff(path, false) != format::other;
}


