// Feeds arbitrary bytes to the text data reader. Only the model's own
// exceptions are expected; anything else, or a broken invariant, is a crash.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "core/ssa_exception.h"
#include "timeseries/ts.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    t_ts ts;
    try {
        read_cts(in, ts);
    } catch (const SSA_math_exception::ssa_exception&) {
        return 0;
    }

    const auto* ticks = ts.ticks();
    if (ticks && static_cast<int>(ticks->size()) != ts.size()) std::abort();
    for (int i = 0; i < ts.size(); ++i)
        if (!std::isfinite(ts.values()(i))) std::abort();

    // What File Save writes without tick marks must read back as the same
    // values, bit for bit.
    std::ostringstream out;
    write_cts(out, ts);
    std::istringstream again(out.str());
    t_ts back;
    read_cts(again, back);
    if (back.size() != ts.size()) std::abort();
    for (int i = 0; i < ts.size(); ++i) {
        const double a = ts.values()(i), b = back.values()(i);
        if (a != b) std::abort();
    }
    return 0;
}
