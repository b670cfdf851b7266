// Text helpers of the documents: printf formatting and lists of components.
#pragma once

#include <string>
#include <vector>

// printf into a string, with a '.' for the decimal point in every locale.
std::string text_printf(const char* fmt, ...) __attribute__((format(printf, 1, 2)));

// 0-based components shown from 1: "%i" then ",%i" for each further one; "" for none.
std::string component_list(const std::vector<int>& components);

// A result window's title, told apart from other runs on the same file by its
// window length: "Trend investigation [co2.dat, L = 24]".
std::string result_title(const std::string& what, const std::string& data_path, int L);
