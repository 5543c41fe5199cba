#pragma once
// A law of one input and three outputs as a cubic B-spline within a distance tolerance: fitted
// by Hermite-Bezier segments, assembled with double interior knots, and thinned by the chosen
// knot removal strategy.
#include <law/base/interval.h>
#include <law/spline/knot_removal_strategy.h>
#include <law/spline/sw_curve.h>

class law;
class bezier_breakpoint_list;

// A new curve owned by the caller. The law's singular points stay knots of full multiplicity
// (law_to_sw_curve_in_pieces gives a kink its corner). With the strategy that removes knots
// within tolerance, a merged knot that takes the curve out of tolerance on a check sample stays
// double. When the assembled curve misses the tolerance otherwise (the segment test looks at
// three fractions only), the fitting is done again at half the fitting tolerance, a few times
// at most. Bad input raises as check_fit_input says.
sw_curve *law_to_sw_curve(law *f, ZEM::interval const &range, double tol,
                          knot_removal_strategy strategy = remove_knots_within_tolerance);

// The cubic B-spline of fitted breakpoints (knots at both ends four times, interior ones twice),
// with double knots merged by the strategy and the removal tolerance; knots at the parameters in
// keep stay double.
sw_curve *assemble_sw_curve(bezier_breakpoint_list const &list, knot_removal_strategy strategy,
                            double removal_tol, double const *keep = nullptr, int nkeep = 0);
