#include "diagnostics.h"

#include <ostream>

namespace {
// Per thread, like the hooks: each computation writes to its own stream.
thread_local std::ostream* current = nullptr;
}

std::ostream& diagnostic_stream() {
    // No buffer: every write fails quietly and costs nothing.
    thread_local std::ostream silent(nullptr);
    return current ? *current : silent;
}

std::ostream* set_diagnostic_stream(std::ostream* os) {
    std::ostream* prev = current;
    current = os;
    return prev;
}
