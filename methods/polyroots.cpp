#include "polyroots.h"

#include <lapacke.h>

#include <cmath>

#include "core/hooks.h"

bool polynomial_roots(const std::vector<double>& c, double tolerance, std::vector<std::complex<double>>& roots) {
    roots.clear();
    const int count = static_cast<int>(c.size());
    if (count < 2 || count > max_poly_coefficients || c[0] == 0) return false;
    if (tolerance < min_poly_tolerance) tolerance = min_poly_tolerance;

    // Companion matrix, column-major: -c[1..d]/c[0] on the first row, ones
    // below the diagonal. It is already upper Hessenberg, so the QR iteration
    // runs on it directly after a scaling that keeps that form.
    const lapack_int d = count - 1;
    const size_t ud = static_cast<size_t>(d);
    std::vector<double> h(ud * ud, 0.0);
    for (size_t j = 0; j < ud; ++j) h[j * ud] = -c[j + 1] / c[0];
    for (size_t i = 1; i < ud; ++i) h[(i - 1) * ud + i] = 1.0;

    lapack_int ilo = 1, ihi = d;
    std::vector<double> scale(ud);
    if (LAPACKE_dgebal(LAPACK_COL_MAJOR, 'S', d, h.data(), d, &ilo, &ihi, scale.data()) != 0) return false;
    // The worker owns its arrays: a cancel may leave it running after we return.
    struct found {
        lapack_int info;
        std::vector<double> wr, wi;
    };
    found f = run_with_progress("characteristic roots", [d, ilo, ihi, h = std::move(h)]() mutable {
        found out{0, std::vector<double>(static_cast<size_t>(d)), std::vector<double>(static_cast<size_t>(d))};
        double no_z = 0;
        out.info = LAPACKE_dhseqr(LAPACK_COL_MAJOR, 'E', 'N', d, ilo, ihi, h.data(), d, out.wr.data(), out.wi.data(),
                                  &no_z, 1);
        return out;
    });
    const lapack_int info = f.info;
    const std::vector<double>& wr = f.wr;
    const std::vector<double>& wi = f.wi;
    if (info < 0) return false;
    // On failure only the eigenvalues info+1..d (1-based) were found.
    const size_t first = info > 0 ? static_cast<size_t>(info) : 0;
    for (size_t k = first; k < ud; ++k) {
        std::complex<double> z(wr[k], wi[k]);
        // Rounding alone gives a real root a part this small.
        if (std::fabs(z.imag()) <= tolerance * std::abs(z)) z.imag(0.0);
        roots.push_back(z);
    }
    return info == 0;
}
