// CSV and TSV through libcsv (RFC 4180 quoting), as a one-sheet workbook.
#include <csv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <iterator>

#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "excel.h"

namespace {

struct rows_builder {
    std::vector<std::vector<std::string>>* rows;
    std::vector<std::string> row;
    int last_end = 0;  // the character that ended the row before
};

void on_field(void* text, size_t len, void* data) {
    auto* b = static_cast<rows_builder*>(data);
    b->row.emplace_back(text ? static_cast<const char*>(text) : "", text ? len : 0);
}

// Every line break is reported (CSV_REPALL_NL), so a blank line is an empty
// row that ends a column's run like an empty cell; the '\n' of a CR LF pair
// is no line of its own.
void on_row_end(int c, void* data) {
    auto* b = static_cast<rows_builder*>(data);
    const bool crlf_tail = b->row.empty() && c == '\n' && b->last_end == '\r';
    b->last_end = c;
    if (crlf_tail) return;
    b->rows->push_back(std::move(b->row));
    b->row.clear();
}

// Tabs are data in a comma or semicolon file and delimiters in a TSV file;
// only blanks are trimmed around unquoted fields.
int is_blank(unsigned char c) { return c == ' '; }

// The first line's unquoted delimiters decide: a tab wins, then a semicolon
// (whose files write numbers with a decimal comma), then the comma.
char detect_delimiter(const std::string& text) {
    bool quoted = false, semicolon = false, content = false;
    for (char c : text) {
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == '\n' || c == '\r') {
            if (content) break;
            continue;  // blank leading lines
        }
        content = true;
        if (c == '\t') return '\t';
        if (c == ';') semicolon = true;
    }
    return semicolon ? ';' : ',';
}

std::string base_name(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

}  // namespace

void read_csv(const std::string& path, CExcel& book) {
    using SSA_math_exception::file_exception;
    errno = 0;
    std::ifstream in(path, std::ios::binary);
    if (!in.is_open())
        throw file_exception(path, std::string("unable to open data file") +
                                       (errno ? std::string(" (") + std::strerror(errno) + ")" : ""));
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) throw file_exception(path, "unable to read data file");
    if (text.find('\0') != std::string::npos)
        throw file_exception(path, "not a text file (it holds NUL bytes)");
    if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);

    const char delim = detect_delimiter(text);
    CExcel::worksheet sheet;
    sheet.name = base_name(path);
    rows_builder b{&sheet.rows, {}, 0};
    csv_parser p;
    if (csv_init(&p, CSV_STRICT | CSV_STRICT_FINI | CSV_REPALL_NL) != 0) throw file_exception(path, "out of memory");
    // Freed however this ends, a cancel from the progress hook included.
    struct parser_guard {
        csv_parser* p;
        ~parser_guard() { csv_free(p); }
    } guard{&p};
    csv_set_delim(&p, static_cast<unsigned char>(delim));
    csv_set_space_func(&p, is_blank);
    // In pieces, so that a large file shows progress and a cancel gets
    // through between them, never from inside the C parser.
    constexpr size_t piece = 1 << 20;
    bool parsed = true;
    for (size_t done = 0; parsed && done < text.size();) {
        const size_t n = std::min(piece, text.size() - done);
        parsed = csv_parse(&p, text.data() + done, n, on_field, on_row_end, &b) == n;
        done += n;
        report_progress("reading the file", static_cast<long long>(done), static_cast<long long>(text.size()));
    }
    parsed = parsed && csv_fini(&p, on_field, on_row_end, &b) == 0;
    if (!parsed) throw file_exception(path, std::string("malformed CSV file: ") + csv_strerror(csv_error(&p)));

    // Blank lines at the end hold nothing.
    while (!sheet.rows.empty() && sheet.rows.back().empty()) sheet.rows.pop_back();
    book.sheets().push_back(std::move(sheet));
    book.set_decimal_comma(delim == ';');
}
