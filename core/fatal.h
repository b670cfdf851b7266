// The one way the numeric core ends the process on a broken invariant.
#pragma once

#include <string>

enum class fatal_stream { out, err };

// Writes the message unchanged to the given standard stream, flushes both
// streams and exits with the status.
[[noreturn]] void fatal_exit(int status, const std::string& message, fatal_stream where = fatal_stream::err);
