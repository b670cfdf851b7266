// The text data format: reader and File Save writer.
#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>

#include "core/file_replace.h"
#include "core/number_text.h"
#include "core/hooks.h"
#include "core/ssa_exception.h"
#include "ts.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

bool is_number_char(char c) {
    return (c >= '0' && c <= '9') || c == '+' || c == '-' || c == 'e' || c == 'E' || c == '.';
}

// ASCII only: the classification must not change with the program's locale.
bool is_header_letter(char c) {
    const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    return letter && c != 'e' && c != 'E';
}

// The run of number characters starting at pos, converted like atof: the
// longest prefix that is a decimal number, 0 when there is none.
double number_at(const std::string& line, size_t pos) {
    size_t end = pos;
    while (end < line.size() && is_number_char(line[end])) ++end;
    std::string run = line.substr(pos, end - pos);
    // strtod reads the decimal point of the C locale, which a desktop program
    // may have changed; files always use '.'.
    const std::string point = std::localeconv()->decimal_point;
    if (point != ".") {
        for (size_t i = run.find('.'); i != std::string::npos; i = run.find('.', i + point.size()))
            run.replace(i, 1, point);
    }
    return std::strtod(run.c_str(), nullptr);
}

enum class layout { unknown, values_only, tick_column };

// Longer lines are refused: without a bound, a stream without line breaks
// (a device, a binary file) would be read until memory runs out.
constexpr size_t max_line = size_t(64) << 20;

// getline with that bound; a NUL byte is kept like any other character.
bool read_line(std::istream& in, std::string& line, long line_no) {
    line.clear();
    char buf[1 << 14];
    for (;;) {
        in.getline(buf, sizeof buf);
        const auto got = static_cast<size_t>(in.gcount());
        if (in.bad()) return false;
        // Failing without the end of the stream: the buffer filled before the line ended.
        const bool more = in.fail() && !in.eof();
        // A line break is counted by gcount but not stored.
        line.append(buf, more || in.eof() ? got : got - 1);
        if (line.size() > max_line)
            throw SSA_math_exception::file_exception("", "line " + std::to_string(line_no) +
                                                             " is longer than 64 MB");
        if (!more) return !(in.fail() && line.empty());
        in.clear();
    }
}

// A byte-order mark is no part of the first value.
void skip_byte_order_mark(std::string& line) {
    if (line.compare(0, 3, "\xEF\xBB\xBF") == 0) line.erase(0, 3);
}

}  // namespace

void read_cts(std::istream& in, t_ts& ts) {
    std::vector<double> values;
    std::vector<std::string> ticks;
    std::string title_text, header_name;
    bool have_title = false, have_header = false;
    layout lay = layout::unknown;

    long late_headers = 0, first_late_header = 0;

    errno = 0;  // a read error's reason, when the system gives one
    std::string raw;
    long line_no = 0;
    // Text after the last line break is a line too, so a file that does not
    // end with one loses nothing. Lines longer than 255 characters are read
    // whole: cutting or splitting them would silently change a value or tick.
    while (read_line(in, raw, line_no + 1)) {
        ++line_no;
        // A file of millions of lines takes seconds: it can be watched and cancelled.
        if (line_no % 4096 == 0) report_progress("reading data", line_no, 0);
        if (line_no == 1) skip_byte_order_mark(raw);
        if (!raw.empty() && raw.back() == '\r') raw.pop_back();
        const size_t first = raw.find_first_not_of(" \t");
        // A line of blanks only is as empty as an empty line.
        if (first == std::string::npos) continue;

        if (raw[first] == '#') continue;
        if (raw[first] == '%') {
            title_text = raw.substr(first + 1);
            have_title = true;
            continue;
        }
        // Trailing blanks separate nothing: "1990 " is a value, not a tick mark.
        const std::string line = raw.substr(first, raw.find_last_not_of(" \t") + 1 - first);

        size_t blank = 0;
        while (blank < line.size() && !is_blank(line[blank])) ++blank;
        if (lay == layout::unknown) lay = blank < line.size() ? layout::tick_column : layout::values_only;

        bool header = false;
        for (char c : line)
            if (is_header_letter(c)) {
                header = true;
                break;
            }

        if (header) {
            if (!values.empty() && late_headers++ == 0) first_late_header = line_no;
            have_header = true;
            if (lay == layout::values_only) {
                header_name = line.substr(0, blank);
            } else {
                // Nothing after the first blank (or no blank at all) names the series "".
                size_t from = blank;
                while (from < line.size() && is_blank(line[from])) ++from;
                size_t to = from;
                while (to < line.size() && !is_blank(line[to])) ++to;
                header_name = line.substr(from, to - from);
            }
            continue;
        }

        double v;
        if (lay == layout::values_only) {
            v = number_at(line, 0);
        } else {
            // A line without a blank is all tick mark; like any line with no
            // number where one is expected, its value is 0.
            ticks.push_back(line.substr(0, blank));
            size_t at = blank;
            while (at < line.size() && !is_number_char(line[at])) ++at;
            v = number_at(line, at);
        }
        if (!std::isfinite(v))
            throw SSA_math_exception::file_exception(
                "", "value on line " + std::to_string(line_no) + " is not a finite number");
        values.push_back(v);
    }
    // A read error (a directory given as the file, a failing disk) must not
    // pass for a short or empty series.
    if (in.bad())
        throw SSA_math_exception::file_exception(
            "", std::string("unable to read data file") + (errno ? std::string(" (") + std::strerror(errno) + ")" : ""));

    // Dropping them is the format's rule, but a header in mid-file usually
    // means a value the user expected to see.
    if (late_headers > 0)
        notify(std::to_string(late_headers) + (late_headers == 1 ? " line" : " lines") +
                   " with letters after the first value skipped as header, the first on line " +
                   std::to_string(first_late_header),
               "Warning", notify_icon::warning);

    ts.values().assign(values);
    ts.set_ticks(&ticks);
    // An explicit '%' title is the user's choice; a header name is only a column label.
    if (have_title)
        ts.set_title(title_text);
    else if (have_header)
        ts.set_title(header_name);
    else
        ts.set_title(std::string());
}

t_ts::ctsstream& t_ts::ctsstream::operator>>(t_ts& ts) {
    if (!is_open() || fail())
        throw SSA_math_exception::ssa_exception(
            "bad ctsstream in 't_ts::ctsstream& t_ts::ctsstream::operator>> (t_ts& _ts)'");
    read_cts(*this, ts);
    return *this;
}

void write_cts(std::ostream& out, const t_ts& ts) {
    // Formatted apart from out, so the caller's flags and locale cannot change the file.
    std::ostringstream os;
    os.imbue(std::locale::classic());
    os << '%' << ts.title() << '\n';
    const std::vector<std::string>* ticks = ts.ticks();
    const series& values = ts.values();
    for (int i = 0; i < values.size(); ++i) {
        if (ts.has_ticks()) {
            // A missing tick mark is written empty rather than read past the list.
            if (ticks && static_cast<size_t>(i) < ticks->size()) os << (*ticks)[static_cast<size_t>(i)];
            os << '\t';
        }
        os << value_text(values(i)) << '\n';
    }
    out << os.str();
}

void save_cts(const std::string& path, const t_ts& ts) {
    std::ostringstream text;
    write_cts(text, ts);
    replace_file(path, text.str(), "unable to write data file");
}
