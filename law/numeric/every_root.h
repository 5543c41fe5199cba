#pragma once
// Every zero of a scalar law of one input on a closed interval: Chebyshev interpolants on pieces
// split at the law's singular points, poles and the ends of its domain, zeros from the
// eigenvalues of their colleague matrices, each polished and checked on the law.
#include <utility>
#include <vector>

class law;

struct root_report {
    // Ascending. Each is where the law changes sign, or where it is zero to within the rounding
    // of its values there (a tangent zero); the left end of a stretch where the law is zero.
    std::vector<double> roots;
    // Stretches [lo, hi] where the law is zero throughout.
    std::vector<std::pair<double, double>> zero_stretches;
    // Where the law grows without bound (a pole), ascending.
    std::vector<double> poles;
    // Evaluations of the law.
    long evaluations = 0;
    // False when the search ran out of evaluations before the law was resolved everywhere (the
    // roots are then those found where it was, and at sign changes elsewhere), or when not all of
    // the law's singular points, where its pieces end, could be found.
    bool complete = true;
    // False when the law's singular points pile up (SIN(1/X) near 0) past what the search for
    // them could find; a shorter interval helps only if it leaves the pile out.
    bool singular_points_found = true;
};

// Why the roots of an incomplete report may be missing, as a clause of a message.
char const *missing_roots_reason(root_report const &r);

// The zeros of f on [a, b] (either order). Raises LAW_DIM for a law of other than one output or
// of more than one input, LAW_BAD_BOUNDS for an end that is not a finite number. Errors of the
// law's evaluation do not end the search: where the law has no value there is no zero.
root_report all_roots(law const *f, double a, double b);

// all_roots(f, a, b).roots in a new array from vorn_allocate (null when there is none), as
// Nroot returns its roots; *n receives the count.
double *Nroot_all(law *f, double a, double b, int *n);
// The parameters in [a, b] where f equals g: Nroot_all of f - g.
double *Nsolve_all(law *f, law *g, double a, double b, int *n);
