// The text data format: reader and File Save writer.
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <istream>
#include <locale>
#include <ostream>
#include <sstream>
#include <vector>

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
// longest prefix that is a decimal number, 0 when there is none. Files always
// use '.', whatever the program's locale.
double number_at(const std::string& line, size_t pos) {
    size_t end = pos;
    while (end < line.size() && is_number_char(line[end])) ++end;
    double v = 0;
    read_decimal(line.data() + pos, line.data() + end, v);
    return v;
}

enum class layout { unknown, values_only, tick_column };

// Longer lines are refused: without a bound, a stream without line breaks
// (a device, a binary file) would be read until memory runs out.
constexpr size_t max_line = size_t(64) << 20;

// Lines of a stream read in blocks: a getline per line costs as much as the
// numbers' parsing. A NUL byte is kept like any other character; text after
// the last line break is a line too.
class line_reader {
public:
    explicit line_reader(std::istream& in) : m_in(in), m_block(size_t(1) << 20) {}

    bool next(std::string& line, long line_no) {
        line.clear();
        bool any = false;
        for (;;) {
            if (m_pos == m_end && !fill()) return any;
            any = true;
            const char* begin = m_block.data() + m_pos;
            const char* end = m_block.data() + m_end;
            const auto* brk = static_cast<const char*>(std::memchr(begin, '\n', static_cast<size_t>(end - begin)));
            line.append(begin, brk ? brk : end);
            m_pos = static_cast<size_t>((brk ? brk + 1 : end) - m_block.data());
            if (line.size() > max_line)
                throw SSA_math_exception::file_exception("", "line " + std::to_string(line_no) +
                                                                 " is longer than 64 MB");
            if (brk) return true;
        }
    }

private:
    bool fill() {
        std::streamsize got = 0;
        try {
            got = m_in.rdbuf()->sgetn(m_block.data(), static_cast<std::streamsize>(m_block.size()));
        } catch (const std::exception&) {
            // The file buffer throws on a read error (a directory, a failing disk); keep its reason.
            const int reason = errno;
            m_in.setstate(std::ios::badbit);
            errno = reason;
            return false;
        }
        m_pos = 0;
        m_end = got > 0 ? static_cast<size_t>(got) : 0;
        if (m_end == 0) m_in.setstate(std::ios::eofbit);
        return m_end > 0;
    }

    std::istream& m_in;
    std::vector<char> m_block;
    size_t m_pos = 0, m_end = 0;
};

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
    line_reader lines(in);
    while (lines.next(raw, line_no + 1)) {
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
        throw SSA_math_exception::internal_error(
            "bad ctsstream in 't_ts::ctsstream& t_ts::ctsstream::operator>> (t_ts& _ts)'");
    read_cts(*this, ts);
    return *this;
}

void write_cts(std::ostream& out, const t_ts& ts, const cts_columns& more) {
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
        os << value_text(values(i));
        if (i >= more.first)
            for (const series* c : more.columns) os << '\t' << value_text((*c)(i - more.first));
        os << '\n';
    }
    out << os.str();
}

void save_cts(const std::string& path, const t_ts& ts, const cts_columns& more) {
    std::ostringstream text;
    write_cts(text, ts, more);
    replace_file(path, text.str(), "unable to write data file");
}
