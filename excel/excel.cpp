#include "excel.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

#include "core/number_text.h"
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

excel_cell excel_cell_number(const std::string& text, bool decimal_comma) {
    std::string t = text;
    if (decimal_comma) std::replace(t.begin(), t.end(), ',', '.');
    if (const std::optional<double> v = parse_number(t)) return {std::isfinite(*v) ? excel_cell::number : excel_cell::not_finite, *v};
    // Zeros with points or commas are 0 however they are grouped: "0,0" in any file.
    const size_t first = t.find_first_not_of(" \t"), last = t.find_last_not_of(" \t");
    if (first != std::string::npos && t.find('0', first) <= last &&
        t.find_first_not_of("0.,", first) > last)
        return {excel_cell::number, 0};
    // Spelled infinities and NaNs, as a reader or another program writes them.
    std::string word;
    for (char c : t)
        if (c != ' ' && c != '\t') word += static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (!word.empty() && (word[0] == '+' || word[0] == '-')) word.erase(0, 1);
    if (word == "inf" || word == "infinity" || (word.compare(0, 3, "nan") == 0 && (word.size() == 3 || word[3] == '(')))
        return {excel_cell::not_finite, 0};
    return {};
}

double excel_number(const std::string& text, bool decimal_comma) {
    const excel_cell c = excel_cell_number(text, decimal_comma);
    return c.kind == excel_cell::number ? c.value : 0;
}

bool excel_is_number(const std::string& text, bool decimal_comma) {
    return excel_cell_number(text, decimal_comma).kind == excel_cell::number;
}

std::string excel_cell_name(int row, int col) {
    std::string letters;
    for (int c = col; c > 0; c = (c - 1) / 26) letters.insert(letters.begin(), static_cast<char>('A' + (c - 1) % 26));
    return letters + std::to_string(row);
}

std::vector<excel_column> excel_column_names(const CExcel& book, int sheet) {
    // The used range: cells keep their place from A1, so empty leading rows
    // and columns are the sheet's, not the table's.
    const int m = book.row_count(sheet);
    int top = 0, left = 0;
    for (int r = 1; r <= m; ++r)
        for (int c = 1; c <= book.row_width(sheet, r); ++c)
            if (!book.cell(sheet, r, c).empty()) {
                if (top == 0) top = r;
                if (left == 0 || c < left) left = c;
                break;
            }
    std::vector<excel_column> names;
    if (top == 0) return names;
    // A data row starts with a number as atof reads one, so a first column of
    // dates ("1959-01-31") counts as data here although no date is a number.
    const auto starts_with_number = [&](int row) {
        std::string t = book.cell(sheet, row, left);
        if (book.decimal_comma()) std::replace(t.begin(), t.end(), ',', '.');
        const size_t from = std::min(t.find_first_not_of(" \t"), t.size());
        double v = 0;
        read_decimal(t.data() + from, t.data() + t.size(), v);
        return v != 0;
    };
    int r = top;
    while (r <= m && !starts_with_number(r)) ++r;
    if (r > top && r <= m) {
        for (int c = left;; ++c) {
            std::string t = book.cell(sheet, r - 1, c);
            if (t.empty()) break;
            names.push_back({c, std::move(t)});
        }
        return names;
    }
    // No header row (or no number at all): one entry per cell of the first row.
    for (int c = left; c <= book.row_width(sheet, top); ++c) names.push_back({c, "Column " + std::to_string(c)});
    return names;
}

bool names_csv(const std::string& path) { return ends_with_any_case(path, ".csv") || ends_with_any_case(path, ".tsv"); }

bool names_workbook(const std::string& path) {
    for (const char* ext : {".xls", ".xlsx", ".xlsm", ".ods"})
        if (ends_with_any_case(path, ext)) return true;
    return names_csv(path) || sniff(path, false) != format::other;
}


