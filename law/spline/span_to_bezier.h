#pragma once
// One span of a B-spline turned into Bezier form by knot insertion: the knots at both ends of the
// span are raised to full multiplicity, and the control points that result over the span are its
// Bezier points. Shared by the curves and, direction by direction, the surfaces.
#include <law/base/vector.h>

// in holds the degree + 1 control points of the span, dim doubles each; knots points at the knot
// of the same index as the span's first control point (the span runs from knots[degree] to
// knots[degree + 1]). out receives degree + 1 Bezier points of dim doubles; in and out may not
// overlap. A knot difference below resmch leaves a point as it is.
void span_to_bezier(int degree, double const *knots, int dim, double const *in, double *out);

// The same on positions.
void span_to_bezier(int degree, double const *knots, ZEM::position const *in, ZEM::position *out);

// The rational form: the points are weighted, converted with their weights, and given back
// unweighted with the Bezier weights.
void rational_span_to_bezier(int degree, double const *knots, ZEM::position const *in,
                             double const *weights_in, ZEM::position *out, double *weights_out);
