// All complex roots of a real polynomial.
#pragma once

#include <complex>
#include <vector>

// The largest number of coefficients (degree + 1) the root finder takes.
constexpr int max_poly_coefficients = 1000;
// Tolerances below this are raised to it.
constexpr double min_poly_tolerance = 1e-14;

// Roots of c[0] z^d + c[1] z^(d-1) + ... + c[d] (c[0] != 0), found as the
// eigenvalues of the companion matrix. Takes 2 to max_poly_coefficients
// coefficients; otherwise it finds no root and returns false. A root whose
// imaginary part is within tolerance of its modulus is returned as real.
// When the eigenvalue iteration stops without convergence, roots holds those
// found and the result is false.
bool polynomial_roots(const std::vector<double>& c, double tolerance, std::vector<std::complex<double>>& roots);
