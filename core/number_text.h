// Numbers as text for data, files, logs, tables and the command line. Nothing
// here depends on the C library's locale, which a desktop program takes from
// the user's environment (a decimal comma under de_DE would change every
// file it writes or reads).
#pragma once

#include <cstdarg>
#include <optional>
#include <string>
#include <string_view>

// The shortest "%g" text that reads back to v: six significant digits as
// always when they suffice, more only when six would change the value.
std::string value_text(double v);

// The decimal number at the start of [first, last) as strtod reads it in the
// "C" locale, without blanks, hexadecimal, inf or nan: [+-]digits[.digits]
// with an optional exponent. Returns the end of what was read (first when
// nothing was); a value beyond the doubles' range gives +-inf, one below it
// 0 or a subnormal.
const char* read_decimal(const char* first, const char* last, double& v);

// The whole text (blanks around it trimmed) is one decimal number; the value
// may be +-inf when the number is beyond the doubles' range.
std::optional<double> parse_number(std::string_view text);
// The whole text (blanks trimmed) is [+-]digits within long long.
std::optional<long long> parse_integer(std::string_view text);

// printf into a string with the floating conversions (f e g, any case) done
// by to_chars, so the decimal point is '.' in every locale. Flags, width and
// precision (also '*') as printf; the other conversions go to printf, whose
// integers and strings do not follow the locale.
std::string format_text(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
std::string format_text_v(const char* fmt, va_list args);
