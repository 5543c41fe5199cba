#pragma once
// Fitting a law of two inputs and three outputs by a bicubic polynomial B-spline surface.
#include <law/base/interval.h>

class law;
class sw_surface;

// Bits of the flag of law_to_sw_surface.
enum law_to_sw_surface_flag : int {
    // Raise BS_ACCURACY when the refinement spends its budget and the fit misses tol.
    sw_fit_check_accuracy = 1,
    // Fit to tol and keep every double knot of the Hermite patches (else fit to tol / 2 and merge
    // the knots that can go within the tolerance).
    sw_fit_keep_all_knots = 2,
};

// A new surface (owned by the caller) within tol of f over s_range x t_range, with resfit for a
// tol that is not positive; achieved receives the largest distance sw_surface_accuracy finds.
// The Hermite patches are fitted to tol / 2 and their double knots merged where the merged
// surface stays within tol (the removal tolerance 2 tol), unless the flag keeps them all; a
// merged fit well within tol is fitted again on fewer iso lines, spaced by the errors of the
// first, while it stays within three quarters of tol at the check fractions of every patch.
// The ns s_knots and nt t_knots are breakpoints to start from (a null array with a positive
// count raises LAW_NULL_LAW, a negative count LAW_DIM). Ranges must be finite and not empty
// (LAW_BAD_BOUNDS); f must be a law (LAW_NULL_LAW) of two inputs returning three (LAW_DIM).
sw_surface *law_to_sw_surface(law *f, ZEM::interval const &s_range, ZEM::interval const &t_range,
                              double tol, double &achieved, int ns = 0, int nt = 0,
                              double const *s_knots = nullptr, double const *t_knots = nullptr,
                              int flag = 0);

// The number of iso lines a fit may place before it gives up.
inline constexpr int sw_fit_budget = 2000;
