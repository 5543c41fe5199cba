#pragma once
// A law of one input and three outputs fitted over [t0, t1] by cubic Hermite-Bezier segments:
// breakpoints at the ends and at the law's singular points, halved where a segment fails its
// test, then thinned where two segments can stand as one.
#include <vector>

#include <law/spline/bezier_breakpoint.h>

class law;

// Most breakpoints one fitting may place; past it the fitting gives up with BS_ACCURACY.
inline constexpr int max_fit_breakpoints = 200000;

// Fills list (which must be empty) with the fitted breakpoints; returns the number of segments.
// Bad input raises as check_fit_input says; singular points out of order or out of the range
// raise BAD_SINGULARITIES.
int create_bezier_segments(law *f, double t0, double t1, double tol, bezier_breakpoint_list &list);

// The law's singular points farther than get_resabs inside [t0, t1], ascending; BAD_SINGULARITIES
// when the law reports them out of order or out of the range.
std::vector<double> fit_singular_points(law const *f, double t0, double t1);
