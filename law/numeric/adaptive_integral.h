#pragma once
// Adaptive integration of a law of one input, beside the Romberg integrator: Gauss-Kronrod
// (10/21 points) on intervals bisected where the error is largest, with Wynn's epsilon
// extrapolation for singularities at the ends of pieces, as QUADPACK's QAGS does; infinite limits
// are mapped onto (0, 1] (QAGI's 7/15-point rule there). The interval is cut at the law's
// singular points first, so that a kink, a jump or a pole is the end of a piece.
class law;

struct integral_report {
    double value = 0;
    // The estimated absolute error: QUADPACK's, which overstates more often than not.
    double error = 0;
    long evaluations = 0;
    int intervals = 0;
};

// The integral of f (one input, one output) from a to b; either limit may be infinite, and
// b < a gives the negated integral of [b, a]. The result meets max(abs_tol, rel_tol |value|),
// or the call raises: LAW_INTEGRAL_TOLERANCE when it could not (the detail gives the estimate,
// its error and why), LAW_INTEGRAL_DIVERGES when the integral seems not to exist, LAW_NO_VALUE
// when the law has no value at a point it needs (the detail names the point and the law's
// message). LAW_DIM for a law of other than one output or more than one input, LAW_BAD_BOUNDS
// for a NaN limit, LAW_BAD_TOLERANCE for negative tolerances or both 0, LAW_BAD_SAMPLES for
// max_intervals below 1.
integral_report Nintegrate_adaptive(law const *f, double a, double b, double abs_tol = 1e-10,
                                    double rel_tol = 1e-10, int max_intervals = 2000);
