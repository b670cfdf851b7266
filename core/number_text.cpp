#include "number_text.h"

#include <charconv>
#include <cmath>

std::string value_text(double v) {
    char buf[32];
    for (int digits = 6;; ++digits) {
        char* end = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::general, digits).ptr;
        double back = 0;
        if (digits == 17 || !std::isfinite(v) || (std::from_chars(buf, end, back), back == v))
            return std::string(buf, static_cast<size_t>(end - buf));
    }
}
