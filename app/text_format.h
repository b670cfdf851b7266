// Texts of the documents' windows.
#pragma once

#include <string>

// A result window's title, told apart from other runs on the same file by its
// window length: "Trend investigation [co2.dat, L = 24]".
std::string result_title(const std::string& what, const std::string& data_path, int L);
