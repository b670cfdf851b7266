#include "text_format.h"

#include <cstdarg>
#include <filesystem>

#include "core/number_text.h"

std::string text_printf(const char* fmt, ...) {
    va_list args;
    va_start(args, fmt);
    std::string s = format_text_v(fmt, args);
    va_end(args);
    return s;
}

std::string component_list(const std::vector<int>& components) {
    std::string s;
    for (size_t i = 0; i < components.size(); ++i) s += text_printf(i == 0 ? "%i" : ",%i", components[i] + 1);
    return s;
}

std::string result_title(const std::string& what, const std::string& data_path, int L) {
    return text_printf("%s [%s, L = %d]", what.c_str(), std::filesystem::path(data_path).filename().c_str(), L);
}
