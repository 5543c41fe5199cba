#pragma once
// Helpers shared by the structural laws.
#include <law/core/counted_array.h>

// True for a law of no input whose every output is 0.
bool zero_constant(law const *l);

// Evaluates l at x into n values, cutting or padding l's own outputs with zeros.
void evaluate_fitted(law const *l, double const *x, double *answer, int n);

// The largest return_dim of subs[first], subs[first + stride], ... below n (0 for none).
int widest_return(law *const *subs, int first, int stride, int n);

// The numerical derivative (derivative_law) in input `which` of a law of the multiple family,
// over a fresh law of the same members so that the derivative does not hold the law that
// caches it. New reference.
class multiple_law;
law *numerical_derivative(multiple_law const *l, int which);
