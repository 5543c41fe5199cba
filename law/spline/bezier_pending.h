#pragma once
// Evaluation of one Bezier segment and conversion of one B-spline span to Bezier form.
#include <law/base/vector.h>

// The point of the segment of order n at u in [0, 1]; with weights, the rational point, and the
// weight sum is returned (1 otherwise).
double bezier_segment_eval(int n, ZEM::position const *points, double const *weights, double u,
                           ZEM::position &out);

// Turns the degree + 1 control points (and weights, when given) of the span that starts at
// knots[degree] into its Bezier points in place; knots holds the 2*degree knots from the span's
// first control point on.
void bspline_span_to_bezier(int degree, double const *knots, ZEM::position *points,
                            double *weights);
