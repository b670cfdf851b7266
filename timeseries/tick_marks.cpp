#include "tick_marks.h"

#include <cmath>
#include <optional>

#include "core/civil_date.h"
#include "core/number_text.h"

namespace {

bool digits(const std::string& s, size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (s[i] < '0' || s[i] > '9') return false;
    return from < to;
}

int number_at(const std::string& s, size_t from, size_t to) {
    int v = 0;
    for (size_t i = from; i < to; ++i) v = v * 10 + (s[i] - '0');
    return v;
}

// [+-]digits[.digits], with its count of decimals.
struct plain_number {
    double value;
    int decimals;
};

std::optional<plain_number> read_plain(const std::string& s) {
    const size_t start = !s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0;
    const size_t point = s.find('.');
    const size_t whole_end = point == std::string::npos ? s.size() : point;
    if (!digits(s, start, whole_end)) return std::nullopt;
    if (point != std::string::npos && !digits(s, point + 1, s.size())) return std::nullopt;
    const std::optional<double> v = parse_number(s);
    if (!v || !std::isfinite(*v)) return std::nullopt;
    return plain_number{*v, point == std::string::npos ? 0 : static_cast<int>(s.size() - point - 1)};
}

bool leap(long y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int month_length(long y, int m) {
    static const int lengths[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return m == 2 && leap(y) ? 29 : lengths[m - 1];
}

// yyyy-mm-dd (has_day) or yyyy-mm.
struct iso_date {
    long year;
    int month, day;
    bool has_day;
    long months() const { return year * 12 + month - 1; }
};

std::optional<iso_date> read_iso(const std::string& s) {
    const bool day = s.size() == 10;
    if ((s.size() != 7 && !day) || s[4] != '-' || !digits(s, 0, 4) || !digits(s, 5, 7)) return std::nullopt;
    if (day && (s[7] != '-' || !digits(s, 8, 10))) return std::nullopt;
    iso_date d{number_at(s, 0, 4), number_at(s, 5, 7), day ? number_at(s, 8, 10) : 1, day};
    if (d.month < 1 || d.month > 12 || d.day < 1 || d.day > month_length(d.year, d.month)) return std::nullopt;
    return d;
}

std::string iso_text(long long year, int month, int day, bool has_day) {
    return has_day ? format_text("%04lld-%02d-%02d", year, month, day) : format_text("%04lld-%02d", year, month);
}

// A step is regular when every difference equals the first and it is not 0.
template <class Key>
std::optional<long> common_step(const std::vector<iso_date>& dates, Key key) {
    const long step = key(dates[1]) - key(dates[0]);
    if (step == 0) return std::nullopt;
    for (size_t i = 1; i < dates.size(); ++i)
        if (key(dates[i]) - key(dates[i - 1]) != step) return std::nullopt;
    return step;
}

std::optional<std::vector<std::string>> continued_dates(const std::vector<std::string>& ticks, int count) {
    std::vector<iso_date> dates;
    for (const std::string& t : ticks) {
        const std::optional<iso_date> d = read_iso(t);
        if (!d || d->has_day != (ticks[0].size() == 10)) return std::nullopt;
        dates.push_back(*d);
    }
    const iso_date& last = dates.back();
    std::vector<std::string> out;
    // Months first: two dates a month apart are a month apart, not 31 days.
    bool same_day = true, month_ends = true;
    for (const iso_date& d : dates) {
        same_day = same_day && d.day == dates[0].day;
        month_ends = month_ends && d.day == month_length(d.year, d.month);
    }
    const std::optional<long> months = common_step(dates, [](const iso_date& d) { return d.months(); });
    if (months && (!last.has_day || same_day || month_ends)) {
        // A monthly date keeps its day of the month (cut to shorter months) or stays on month ends.
        for (int k = 1; k <= count; ++k) {
            const long m = last.months() + *months * k;
            const long y = m >= 0 ? m / 12 : (m - 11) / 12;
            const int month = static_cast<int>(m - y * 12) + 1;
            const int end = month_length(y, month);
            out.push_back(iso_text(y, month, same_day ? std::min(dates[0].day, end) : end, last.has_day));
        }
        return out;
    }
    const auto day_number = [](const iso_date& d) { return days_from_civil(d.year, d.month, d.day); };
    const std::optional<long> days = last.has_day ? common_step(dates, day_number) : std::nullopt;
    if (!days) return std::nullopt;
    for (int k = 1; k <= count; ++k) {
        const civil_date c = civil_from_days(day_number(last) + *days * k);
        out.push_back(iso_text(c.year, c.month, c.day, true));
    }
    return out;
}

std::optional<std::vector<std::string>> continued_numbers(const std::vector<std::string>& ticks, int count) {
    std::vector<plain_number> v;
    for (const std::string& t : ticks) {
        const std::optional<plain_number> p = read_plain(t);
        if (!p) return std::nullopt;
        v.push_back(*p);
    }
    // The least-squares line through the marks: rounded marks such as monthly
    // decimal years (1959.08, 1959.17) have no exact common difference.
    const double n = static_cast<double>(v.size()), centre = (n - 1) / 2;
    double mean = 0;
    for (const plain_number& p : v) mean += p.value / n;
    double sxy = 0, sxx = 0;
    for (size_t i = 0; i < v.size(); ++i) {
        sxy += (i - centre) * (v[i].value - mean);
        sxx += (i - centre) * (i - centre);
    }
    const double step = sxy / sxx;
    if (!(step != 0)) return std::nullopt;
    // Regular when the line gives every mark as it is written.
    for (size_t i = 0; i < v.size(); ++i) {
        const double line = mean + step * (i - centre);
        const double half_unit = 0.5 * std::pow(10.0, -v[i].decimals);
        if (std::fabs(line - v[i].value) > half_unit + 1e-9 * std::fabs(v[i].value)) return std::nullopt;
    }
    std::vector<std::string> out;
    for (int k = 1; k <= count; ++k)
        out.push_back(format_text("%.*f", v.back().decimals, mean + step * (n - 1 + k - centre)));
    return out;
}

}  // namespace

std::vector<std::string> continued_ticks(const std::vector<std::string>& ticks, int count) {
    if (count <= 0) return {};
    if (ticks.size() >= 2) {
        if (auto dates = continued_dates(ticks, count)) return *dates;
        if (auto numbers = continued_numbers(ticks, count)) return *numbers;
    }
    std::vector<std::string> out;
    for (int k = 1; k <= count; ++k) out.push_back(std::to_string(ticks.size() + static_cast<size_t>(k)));
    return out;
}
