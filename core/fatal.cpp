#include "fatal.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

void fatal_exit(int status, const std::string& message, fatal_stream where) {
    std::ostream& os = where == fatal_stream::out ? std::cout : std::cerr;
    os << message;
    std::cout.flush();
    std::cerr.flush();
    std::exit(status);
}
