#pragma once
// The pieces of the one-dimensional root search: the quadratic step and walk that follow a law's
// Taylor parabola, bisection, and the scan that drives them over an interval.
#include <law/core/law.h>
#include <law/core/law_sample.h>

// One step towards a zero of the parabola through f(x0), f'(x0) and f''(x0). Returns 0 when
// the parabola gives nothing, 1 with the point in x, or 2 when zeros lie on both sides of x0:
// the nearer in x and the other in *x2 (when given).
int root_quadratic_step(law const *f, law const *df, law const *ddf, double x0, double &x,
                        double *x2);

// Quadratic steps from s while they stay in [lo, hi]: 0 when the walk fails or leaves, 1 with
// the end point in x, 2 when a second walk (asked for by giving x2) found another in *x2.
int root_newton_walk(law const *f, law const *df, law const *ddf, double &x, double *x2, double lo,
                     double hi, double s);

// Halving of [lo, hi] towards a sign change of f.
double root_bisect(law const *f, double lo, double hi);

// The candidate zeros of f on [a, b] in a new array (vorn_allocate) of *n values; null with
// *n = 0 when f is constant and not zero at a.
double *root_scan(law const *f, double a, double b, int *n);

// f's first derivative, formed within the budget the scan gives the work of its derivatives
// (LAW_ROOTS_UNRESOLVED past it).
law_ptr budgeted_derivative(law const *f);
