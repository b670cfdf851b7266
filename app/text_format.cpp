#include "text_format.h"

#include <filesystem>

#include "core/number_text.h"

std::string result_title(const std::string& what, const std::string& data_path, int L) {
    return format_text("%s [%s, L = %d]", what.c_str(), std::filesystem::path(data_path).filename().c_str(), L);
}
