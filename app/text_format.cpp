#include "text_format.h"

#include <cstdarg>
#include <cstdio>

std::string text_printf(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    va_list again;
    va_copy(again, args);
    const int n = std::vsnprintf(nullptr, 0, fmt, args);
    va_end(args);
    std::string s(n > 0 ? static_cast<size_t>(n) : 0, '\0');
    if (n > 0) std::vsnprintf(s.data(), s.size() + 1, fmt, again);
    va_end(again);
    return s;
}

std::string component_list(const std::vector<int>& components) {
    std::string s;
    for (size_t i = 0; i < components.size(); ++i) s += text_printf(i == 0 ? "%i" : ",%i", components[i] + 1);
    return s;
}
