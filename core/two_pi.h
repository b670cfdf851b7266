// 2 pi to the last bit of a double, for every angle of a frequency.
#pragma once

constexpr double two_pi = 6.283185307179586;
