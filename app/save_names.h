// Names File Save proposes: derived from the data file, never the data file itself.
#pragma once

#include <string>

// The path without the extension of its file name: "/d/co2.dat" -> "/d/co2".
std::string path_stem(const std::string& path);

// The question before path is replaced; a data file of an open series is named as such.
std::string overwrite_question(const std::string& path, bool data_file);

// stem + "-" + suffix + extension: ("/d/co2", "trend") -> "/d/co2-trend.dat".
std::string derived_name(const std::string& stem, const std::string& suffix, const std::string& extension = ".dat");
