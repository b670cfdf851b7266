// Text helpers of the documents: printf formatting and lists of components.
#pragma once

#include <string>
#include <vector>

// printf into a string, with a '.' for the decimal point in every locale.
std::string text_printf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// 0-based components shown from 1: "%i" then ",%i" for each further one; "" for none.
std::string component_list(const std::vector<int>& components);
