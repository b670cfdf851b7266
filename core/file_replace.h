// Writing a whole file so that nobody ever sees it half written.
#pragma once

#include <string>

// Writes contents to a temporary file beside path and renames it over path:
// readers, a crash or a second writer see the old file or the new one, whole.
// Only regular files (and new ones) are replaced so: a FIFO, a terminal or a
// device is written directly, a directory or a socket refused. A signal that
// ends the process mid-way takes the temporary file with it.
// On failure the temporary file is removed, path is untouched and
// file_exception(path, what + " (system reason)") is thrown.
void replace_file(const std::string& path, const std::string& contents, const std::string& what);

// Throws like replace_file when no file could be written at path (a missing or
// read-only directory, a directory or a socket as the name), so a run can refuse it before working.
void check_replaceable(const std::string& path, const std::string& what);
