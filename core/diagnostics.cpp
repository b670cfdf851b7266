#include "diagnostics.h"

#include <iostream>

namespace {
std::ostream* current = nullptr;
}

std::ostream& diagnostic_stream() { return current ? *current : std::cout; }

std::ostream* set_diagnostic_stream(std::ostream* os) {
    std::ostream* prev = current;
    current = os;
    return prev;
}
