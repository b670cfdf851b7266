// The one way the numeric core reports a broken invariant: an exception that
// carries the status the command line exits with, so that no caller (the
// desktop program above all) is ended by a computation that went wrong.
#pragma once

#include <string>

#include "ssa_exception.h"

namespace SSA_math_exception {

class fatal_error : public ssa_exception {
public:
    fatal_error(int s, std::string msg) : ssa_exception(std::move(msg)), status(s) {}

    int status;
};

}  // namespace SSA_math_exception

// Throws fatal_error(status, message).
[[noreturn]] void throw_fatal(int status, const std::string& message);
