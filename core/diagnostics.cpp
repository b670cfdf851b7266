#include "diagnostics.h"

#include <iostream>

namespace {
// Per thread, like the hooks: each computation writes to its own stream.
thread_local std::ostream* current = nullptr;
}

std::ostream& diagnostic_stream() { return current ? *current : std::cout; }

std::ostream* set_diagnostic_stream(std::ostream* os) {
    std::ostream* prev = current;
    current = os;
    return prev;
}
