#pragma once
// The checks on what a law fitted by a spline must be: a law of one input and three outputs over
// a finite range that runs forwards, and a positive finite tolerance.
class law;

// LAW_DIM for a null law or wrong dimensions, LAW_BAD_BOUNDS for an empty, reversed or
// non-finite range, LAW_BAD_TOLERANCE for a tolerance that is not a positive number.
void check_fit_input(law const *f, double t0, double t1, double tol);
