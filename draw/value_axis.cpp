#include "draw/value_axis.h"

#include <cmath>

#include "core/number_text.h"

double nice_step(double raw) {
    if (!(raw > 0) || !std::isfinite(raw)) return 0;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 5.0, 10.0})
        // A relative slack: 0.3 / 3 is not exactly 0.1 in doubles.
        if (m * power >= raw * (1 - 1e-12)) return m * power;
    return 10 * power;
}

std::vector<double> grid_values(double lo, double hi, double step) {
    std::vector<double> v;
    if (!(step > 0) || !(hi > lo) || (hi - lo) / step > 1e4) return v;
    for (double k = std::floor(lo / step) + 1; k * step < hi; ++k)
        if (k * step > lo) v.push_back(k * step);
    return v;
}

std::string value_label(double v, double resolution) {
    if (!(resolution > 0) || !std::isfinite(resolution)) return format_text("%.6g", v);
    if (std::fabs(v) < resolution / 2) return "0";
    const int res_exp = static_cast<int>(std::floor(std::log10(resolution) + 1e-9));
    if (resolution >= 1e-4 && resolution < 1e5) return format_text("%.*f", res_exp < 0 ? -res_exp : 0, v);
    // The exponent of the value as it will be written: 9.99e-4 to 1e-5 is 1.00e-3.
    const double rounded = std::round(v / resolution) * resolution;
    const int v_exp = static_cast<int>(std::floor(std::log10(std::fabs(rounded)) + 1e-9));
    const int digits = v_exp - res_exp + 1;
    std::string s = format_text("%.*e", digits > 1 ? digits - 1 : 0, rounded);
    // "2.5e-05" -> "2.5e-5", "1e+09" -> "1e9".
    const size_t e = s.find('e');
    std::string exponent = s.substr(e + 1);
    const bool negative = exponent[0] == '-';
    exponent.erase(0, exponent.find_first_not_of("+-0"));
    return s.substr(0, e + 1) + (negative ? "-" : "") + (exponent.empty() ? "0" : exponent);
}

double end_resolution(double lo, double hi) {
    if (hi > lo) return nice_step((hi - lo) / 1000);
    return lo != 0 ? nice_step(std::fabs(lo) * 1e-5) : 1;
}
