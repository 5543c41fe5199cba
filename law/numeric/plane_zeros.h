#pragma once
// Every zero of a law of two inputs in a rectangle: the box is divided into cells; a cell is
// dropped where interval arithmetic over the law's tree shows that some output cannot vanish
// there, settled where the interval Newton (Krawczyk) test shows that it holds exactly one zero,
// which Newton's method then finds, and divided otherwise. Cells that reach the smallest size
// without either (zeros where the Jacobian is singular, such as the touching point of a circle
// and its tangent) are gathered into clusters, each searched by damped Gauss-Newton steps.
//
// Beside Nroot2D, which finds the minima of a sum of squares reached from chosen start points or
// from the cells of a quadtree, and can miss zeros that no search starts near.
#include <vector>

#include <law/base/complex_number.h>
#include <law/numeric/rec2d.h>

class law;

struct plane_zero {
    complex_number point;
    double residual;  // the largest magnitude of the law's outputs there
    bool isolated;    // a neighbourhood was shown to hold this zero and no other
};

struct plane_zero_set {
    std::vector<plane_zero> zeros;  // ascending in x, then in y
    // Some zeros lie on a curve of zeros (a law of one output that changes sign, or outputs
    // that vanish together along a curve): the zeros are not isolated points.
    bool on_curves = false;
    // The search stopped at its limit of cells before every cell was settled.
    bool exhausted = false;
    int cells = 0;  // cells examined
};

// The zeros of f in box. A law of two outputs is a system of two equations in two unknowns; a law
// of more outputs has a zero where all of them vanish; a law of one output, where it vanishes
// without changing sign (a minimum or maximum that touches zero). Raises LAW_BAD_BOUNDS for a
// box corner that is not finite, LAW_BAD_SEARCH_BOX for a box of no width or height or turned
// inside out, LAW_EVALV for a law of more than two inputs or of no output.
plane_zero_set plane_zeros(law const *f, rec2d const &box);
