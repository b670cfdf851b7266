#include "fatal.h"

void throw_fatal(int status, const std::string& message) { throw SSA_math_exception::fatal_error(status, message); }
