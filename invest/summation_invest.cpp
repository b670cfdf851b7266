#include "summation_invest.h"

#include "core/ssa_exception.h"

t_summation_invest::t_summation_invest(const t_ts& ts) : t_investigation("Summation investigation", ts) {}

void t_summation_invest::investigate() {
    throw SSA_math_exception::ssa_exception(
        "class \"t_summation_invest\" is not intended for 'investigate()' calling. Read documentation on it.");
}

void t_summation_invest::identificate() {
    throw SSA_math_exception::ssa_exception(
        "class \"t_summation_invest\" is not intended for 'identificate()' calling. Read documentation on it.");
}
