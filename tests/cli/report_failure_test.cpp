// How kelvane-cli turns a failure of the engine into its last line and exit status.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "cli/cli_common.h"
#include "core/ssa_exception.h"

namespace {

struct outcome { int status; std::string line; };

template <class E>
outcome report(const E& e) {
    std::ostringstream err;
    const int status = cli::report_failure(std::make_exception_ptr(e), err);
    return {status, err.str()};
}

}  // namespace

TEST(CliFailure, EachKindExitsWithItsStatusAndOneLine) {
    namespace ex = SSA_math_exception;
    const struct { outcome got, expected; } cases[] = {
        {report(ex::internal_error("Error 12: spectrum size not equals window length!\n", 12)),
         {12, "kelvane-cli: Error 12: spectrum size not equals window length!\n"}},
        {report(ex::out_of_range("incorrect window length: L = 11 is outside 1..10")),
         {1, "kelvane-cli: incorrect window length: L = 11 is outside 1..10\n"}},
        {report(ex::bad_input("--points 0 must be at least 1")), {1, "kelvane-cli: --points 0 must be at least 1\n"}},
        {report(ex::file_exception("x.log", "unable to write log file")),
         {1, "kelvane-cli: unable to write log file : x.log.\n"}},
        {report(ex::cancelled()), {130, "kelvane-cli: the computation was cancelled\n"}},
        {report(std::runtime_error("boom")), {1, "kelvane-cli: internal error: boom\n"}},
        {report(42), {1, "kelvane-cli: internal error\n"}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.got.status, c.expected.status) << c.expected.line;
        EXPECT_EQ(c.got.line, c.expected.line);
    }
}
