#include "save_names.h"

std::string path_stem(const std::string& path) {
    const std::string::size_type slash = path.rfind('/');
    const std::string::size_type dot = path.rfind('.');
    const std::string::size_type name = slash == std::string::npos ? 0 : slash + 1;
    // A leading dot names a hidden file, not an extension.
    if (dot == std::string::npos || dot <= name) return path;
    return path.substr(0, dot);
}

std::string overwrite_question(const std::string& path, bool data_file) {
    return path + (data_file ? " is the data file of an open series." : " already exists.") +
           "\nDo you want to replace it?";
}

std::string derived_name(const std::string& stem, const std::string& suffix, const std::string& extension) {
    return stem + "-" + suffix + extension;
}
