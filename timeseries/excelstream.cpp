#include <string>
#include <vector>

#include "core/ssa_exception.h"
#include "excel/excel.h"
#include "ts.h"

namespace {

using SSA_math_exception::file_exception;

int resolve_sheet(const CExcel& book, const std::string& sheet) {
    if (sheet.empty()) return book.sheet_count() >= 1 ? 1 : 0;
    // A worksheet's own name wins over reading it as a number: sheets are often named "2019".
    for (int i = 1; i <= book.sheet_count(); ++i)
        if (book.sheet_name(i) == sheet) return i;
    if (sheet.find_first_not_of("0123456789") == std::string::npos && sheet.size() < 9) {
        const int i = std::stoi(sheet);
        if (i >= 1 && i <= book.sheet_count()) return i;
    }
    throw file_exception("", "no worksheet \"" + sheet + "\" in the file (it has " +
                                 std::to_string(book.sheet_count()) + ")");
}

void check_column(const CExcel& book, int sheet, int col, const char* what) {
    const int width = book.column_count(sheet);
    if (col < 1 || col > width)
        throw file_exception("", std::string("no ") + what + " " + std::to_string(col) + " in worksheet \"" +
                                     book.sheet_name(sheet) + "\" (it has " + std::to_string(width) + ")");
}

}  // namespace

void import_excel(const CExcel& book, const t_ts::excel_choice& choice, t_ts& ts) {
    const int w = resolve_sheet(book, choice.sheet);
    if (w == 0) return;
    const int m = book.row_count(w);
    const bool dc = book.decimal_comma();
    auto is_number = [&](int row, int col) { return excel_is_number(book.cell(w, row, col), dc); };

    // Without a choice, the first column with a cell that is wholly a number:
    // a date column in front of the data is passed over.
    int c = choice.column;
    if (c == 0) {
        for (int col = 1; col <= book.column_count(w) && c == 0; ++col)
            for (int r = 1; r <= m; ++r)
                if (excel_is_plain_number(book.cell(w, r, col), dc)) {
                    c = col;
                    break;
                }
        if (c == 0) return;
    }
    check_column(book, w, c, "column");
    const int t = choice.ticks_column;
    if (t != 0) check_column(book, w, t, "tick-mark column");

    // The last row takes part too: a file's final value is as much data as any.
    int f = 1;
    while (f <= m && !is_number(f, c)) ++f;
    if (f > m) return;
    int l = f;
    while (l + 1 <= m && is_number(l + 1, c)) ++l;

    ts.values().assign(book.column_values(w, f, l, c));
    if (t != 0) {
        bool numeric = true;
        for (int r = f; r <= l && numeric; ++r) numeric = excel_is_plain_number(book.cell(w, r, t), dc);
        if (numeric) {
            const std::vector<double> ticks = book.column_values(w, f, l, t);
            ts.set_ticks(&ticks);
        } else {
            std::vector<std::string> ticks;
            for (int r = f; r <= l; ++r) ticks.push_back(book.cell(w, r, t));
            ts.set_ticks(&ticks);
        }
    } else {
        const std::vector<std::string> none;
        ts.set_ticks(&none);
    }
    // As in the text format, a header above the data names the series.
    ts.set_title(f > 1 && !is_number(f - 1, c) ? book.cell(w, f - 1, c) : std::string());
}

t_ts::excelstream& t_ts::excelstream::operator>>(t_ts& ts) {
    CExcel book;
    book.load(m_path);
    import_excel(book, m_choice, ts);
    return *this;
}
