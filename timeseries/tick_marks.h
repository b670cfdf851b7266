// Tick marks past the end of a series, for values that continue it.
#pragma once

#include <string>
#include <vector>

// The count marks that follow ticks. Where every mark is a plain decimal
// number on one step (to the precision it is written with), or every mark an
// ISO date yyyy-mm-dd (a step of days, or of months on one day of the month
// or on month ends) or yyyy-mm (a step of months), the marks carry the step
// on, numbers with the last mark's decimals. Otherwise (fewer than two marks,
// texts, uneven steps) they are the positions size + 1 .. size + count, so a
// saved file still reads back with a mark on every line.
std::vector<std::string> continued_ticks(const std::vector<std::string>& ticks, int count);
