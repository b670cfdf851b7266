#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

std::string value_text(double v) {
    char buf[32];
    for (int digits = 6;; ++digits) {
        char* end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits).ptr;
        double back = 0;
        if (digits == 17 || !std::isfinite(v) || (std::from_chars(buf, end, back), back == v))
            return std::string(buf, static_cast<size_t>(end - buf));
    }
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && is_blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && is_blank(s.back())) s.remove_suffix(1);
    return s;
}

}  // namespace

const char* read_decimal(const char* first, const char* last, double& v) {
    const char* p = first;
    const bool negative = p < last && *p == '-';
    if (p < last && (*p == '+' || *p == '-')) ++p;
    const char* mantissa = p;
    // The decimal exponent of the first significant digit, to tell an
    // overflow from an underflow when the value is out of range.
    long magnitude = 0;
    bool significant = false, digits = false;
    for (; p < last && is_digit(*p); ++p) {
        digits = true;
        significant = significant || *p != '0';
        if (significant) ++magnitude;
    }
    if (p < last && *p == '.') {
        for (++p; p < last && is_digit(*p); ++p) {
            digits = true;
            if (!significant && *p == '0') --magnitude;
            significant = significant || *p != '0';
        }
    }
    if (!digits) return first;
    if (p < last && (*p == 'e' || *p == 'E')) {
        const char* e = p + 1;
        bool e_negative = false;
        if (e < last && (*e == '+' || *e == '-')) e_negative = *e++ == '-';
        if (e < last && is_digit(*e)) {
            long exponent = 0;
            for (; e < last && is_digit(*e); ++e) exponent = std::min(exponent * 10 + (*e - '0'), 100000L);
            magnitude += e_negative ? -exponent : exponent;
            p = e;
        }
    }
    // from_chars takes no '+'; its sign is handled here.
    double value = 0;
    const auto r = std::from_chars(mantissa, p, value, std::chars_format::general);
    if (r.ec == std::errc::result_out_of_range)
        value = significant && magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    v = negative ? -value : value;
    return p;
}

std::optional<double> parse_number(std::string_view text) {
    text = trimmed(text);
    double v = 0;
    const char* end = text.data() + text.size();
    if (text.empty() || read_decimal(text.data(), end, v) != end) return std::nullopt;
    return v;
}

std::optional<long long> parse_integer(std::string_view text) {
    text = trimmed(text);
    // from_chars takes a '-' but no '+'.
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
        if (!text.empty() && text.front() == '-') return std::nullopt;
    }
    if (text.empty()) return std::nullopt;
    long long v = 0;
    const char* end = text.data() + text.size();
    const auto r = std::from_chars(text.data(), end, v);
    if (r.ec != std::errc() || r.ptr != end) return std::nullopt;
    return v;
}

namespace {

// One floating conversion with printf's flags and width.
void append_floating(std::string& out, double v, char conv, const std::string& flags, int width, int precision) {
    const char lower = static_cast<char>(conv | 0x20);
    const std::chars_format f = lower == 'f'   ? std::chars_format::fixed
                                : lower == 'e' ? std::chars_format::scientific
                                               : std::chars_format::general;
    // %f of 1e308 has 309 digits before the point.
    char buf[400];
    const int p = precision < 0 ? 6 : std::min(precision, 60);
    const char* end = std::to_chars(buf, buf + sizeof buf, v, f, p).ptr;
    std::string body(buf, static_cast<size_t>(end - buf));
    if (conv != lower)
        for (char& c : body) c = static_cast<char>(c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c);
    std::string sign;
    if (!body.empty() && body[0] == '-') {
        sign = "-";
        body.erase(0, 1);
    } else if (flags.find('+') != std::string::npos) {
        sign = "+";
    } else if (flags.find(' ') != std::string::npos) {
        sign = " ";
    }
    const size_t n = sign.size() + body.size();
    const size_t pad = width > 0 && static_cast<size_t>(width) > n ? static_cast<size_t>(width) - n : 0;
    if (flags.find('-') != std::string::npos) {
        out += sign + body;
        out.append(pad, ' ');
    } else if (flags.find('0') != std::string::npos && std::isfinite(v)) {
        out += sign;
        out.append(pad, '0');
        out += body;
    } else {
        out.append(pad, ' ');
        out += sign + body;
    }
}

template <typename T>
void append_printf(std::string& out, const std::string& conversion, T arg) {
    const int n = std::snprintf(nullptr, 0, conversion.c_str(), arg);
    if (n <= 0) return;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n) + 1);
    std::snprintf(&out[at], static_cast<size_t>(n) + 1, conversion.c_str(), arg);
    out.pop_back();
}

int read_count(const char*& p) {
    int n = 0;
    while (is_digit(*p)) n = std::min(n * 10 + (*p++ - '0'), 100000);
    return n;
}

}  // namespace

std::string format_text_v(const char* fmt, va_list args) {
    std::string out;
    for (const char* p = fmt; *p;) {
        if (*p != '%') {
            out += *p++;
            continue;
        }
        ++p;
        if (*p == '%') {
            out += *p++;
            continue;
        }
        std::string flags;
        while (*p && std::strchr("-+ #0", *p)) flags += *p++;
        int width = -1, precision = -1;
        if (*p == '*') {
            ++p;
            width = va_arg(args, int);
            if (width < 0) {
                flags += '-';
                width = -width;
            }
        } else if (is_digit(*p)) {
            width = read_count(p);
        }
        if (*p == '.') {
            ++p;
            if (*p == '*') {
                ++p;
                precision = std::max(va_arg(args, int), -1);
            } else {
                precision = read_count(p);
            }
        }
        std::string length;
        while (*p && std::strchr("hlLqjzt", *p)) length += *p++;
        const char conv = *p;
        if (!conv) break;
        ++p;
        // The conversion again with '*' resolved, for printf's own integers and strings.
        std::string conversion = "%" + flags;
        if (width >= 0) conversion += std::to_string(width);
        if (precision >= 0) conversion += "." + std::to_string(precision);
        conversion += length;
        conversion += conv;
        switch (conv) {
            case 'f': case 'F': case 'e': case 'E': case 'g': case 'G':
                append_floating(out, length == "L" ? static_cast<double>(va_arg(args, long double)) : va_arg(args, double),
                                conv, flags, width, precision);
                break;
            case 'd': case 'i': case 'o': case 'u': case 'x': case 'X':
                if (length == "ll" || length == "q" || length == "j")
                    append_printf(out, conversion, va_arg(args, long long));
                else if (length == "l" || length == "z" || length == "t")
                    append_printf(out, conversion, va_arg(args, long));
                else
                    append_printf(out, conversion, va_arg(args, int));
                break;
            case 'c':
                append_printf(out, conversion, va_arg(args, int));
                break;
            case 's':
                append_printf(out, conversion, va_arg(args, const char*));
                break;
            case 'p':
                append_printf(out, conversion, va_arg(args, void*));
                break;
            default:  // %n and the hexadecimal floats are not used
                break;
        }
    }
    return out;
}

std::string format_text(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = format_text_v(fmt, args);
    va_end(args);
    return s;
}

std::string component_list(const std::vector<int>& components) {
    std::string s;
    for (size_t i = 0; i < components.size(); ++i) s += format_text(i == 0 ? "%i" : ",%i", components[i] + 1);
    return s;
}
