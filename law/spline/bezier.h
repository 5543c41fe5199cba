#pragma once
// Evaluation of Bezier segments of any order, polynomial or rational, and the checks on their
// order and weights. The spline curves and surfaces evaluate every cached segment through here.
#include <law/base/vector.h>
#include <law/spline/bezier_segment.h>

// SW_BAD_ORDER when a segment has fewer than one point.
void check_bezier_order(int n);
// SW_BAD_WEIGHTS when a weight lies below get_resabs (so also for a weight of 0 or NaN).
void check_bezier_weights(int n, double const *weights);

// The point at u in [0, 1] of the segment of n points p (and weights w, or null). For a rational
// segment the weight sum at u is stored in *weight_sum when it is given (1 for a polynomial one).
ZEM::position bezier_eval(int n, ZEM::position const *p, double const *w, double u,
                          double *weight_sum = nullptr);
inline ZEM::position bezier_eval(bezier_segment const &s, double u, double *weight_sum = nullptr) {
    return bezier_eval(s.count, s.points, s.weights, u, weight_sum);
}

// The vector sum of a segment of n vectors (a derivative segment); zero for n = 0.
ZEM::vector bezier_eval_vector(int n, ZEM::position const *p, double u);

// Position and the first two derivatives with respect to u of a rational segment (quotient rule
// on the weighted points); any output may be null.
void rational_bezier_derivs(bezier_segment const &s, double u, ZEM::position *p, ZEM::vector *d1,
                            ZEM::vector *d2);
