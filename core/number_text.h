// Numbers as text for files that must read back exactly.
#pragma once

#include <string>

// The shortest "%g" text that reads back to v: six significant digits as
// always when they suffice, more only when six would change the value.
std::string value_text(double v);
