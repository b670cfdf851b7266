#include <string>
#include <vector>

#include "core/hooks.h"
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
    const auto kind = [&](int row, int col) { return excel_cell_number(book.cell(w, row, col), dc).kind; };
    const auto is_number = [&](int row, int col) { return kind(row, col) == excel_cell::number; };
    // A number the doubles cannot hold is an error where the run would read it, never a value or text.
    const auto is_number_or_refuse = [&](int row, int col) {
        const excel_cell::kind_t k = kind(row, col);
        if (k == excel_cell::not_finite)
            throw file_exception("", excel_cell_name(row, col) + ": not a finite number");
        return k == excel_cell::number;
    };

    // Without a choice, the first column with a cell that is a number: a date
    // column in front of the data is passed over.
    int c = choice.column;
    if (c == 0) {
        for (int col = 1; col <= book.column_count(w) && c == 0; ++col)
            for (int r = 1; r <= m; ++r)
                if (is_number(r, col)) {
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
    while (f <= m && !is_number_or_refuse(f, c)) ++f;
    if (f > m) return;
    int l = f;
    while (l + 1 <= m && is_number_or_refuse(l + 1, c)) ++l;

    ts.values().assign(book.column_values(w, f, l, c));
    if (t != 0) {
        bool numeric = true;
        for (int r = f; r <= l && numeric; ++r) numeric = is_number(r, t);
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

    // A gap or a note in the column silently drops everything below it.
    int below = 0;
    for (int r = l + 2; r <= m; ++r) below += is_number(r, c) ? 1 : 0;
    if (below > 0) {
        const int n = l - f + 1;
        const std::string stop = book.cell(w, l + 1, c);
        notify(std::to_string(n) + (n == 1 ? " value" : " values") + " read from column " +
                   (ts.title().empty() ? std::to_string(c) : ts.title()) + "; row " + std::to_string(l + 1) +
                   (stop.find_first_not_of(" \t") == std::string::npos ? " is empty" : " holds text") + " and " +
                   std::to_string(below) + " more " + (below == 1 ? "number follows" : "numbers follow") + " it",
               "Warning", notify_icon::warning);
    }
}

t_ts::excelstream& t_ts::excelstream::operator>>(t_ts& ts) {
    CExcel book;
    book.load(m_path);
    import_excel(book, m_choice, ts);
    return *this;
}
