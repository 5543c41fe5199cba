#pragma once
// Zeros of a scalar law of one input on a closed interval.
class law;

// The zeros of f on [a, b] (either order), ascending, in a new array from vorn_allocate that the
// caller gives back with vorn_discard; *n receives the count. Null (count 0) only when f is
// numerically constant and not zero at a; a constant zero law gives the single root a. An
// interval of zero length is the point a: its root when f vanishes there, none otherwise.
// Raises LAW_DIM for a law of other than one output or of more than one input, and
// LAW_BAD_BOUNDS for an end that is not a finite number.
double *Nroot(law *f, double a, double b, int *n);

// The parameters in [a, b] where f equals g: Nroot of f - g.
double *Nsolve(law *f, law *g, double a, double b, int *n);
