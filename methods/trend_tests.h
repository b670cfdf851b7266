// Free helpers of the trend tests (the tests themselves are operations of
// matrix, declared in core/matrix.h).
#pragma once

// Standard normal distribution function, Abramowitz and Stegun 26.2.19.
double normal_cdf(double z);

// Number of index pairs i < k with x[i] < x[k] (ties count nothing), in O(n log n).
long long count_increasing_pairs(const double* x, int n);
