#pragma once
// Rational splines with their laws in closed form, for the STEP read-back: the exact quarter
// circle as a rational quadratic, and a torus patch as the product of two such arcs, each with a
// knot inserted at 0.3 so that the files carry interior knots and weights other than 1 and the
// weight of an arc's middle point. Inserting a knot leaves the spline as it was, so the laws of
// the plain arcs stay theirs.
#include <memory>

#include <law/law.h>

namespace bench {

struct rational_curve_case {
    char const *name;
    std::unique_ptr<sw_curve> curve;
    law_ptr f;
};

struct rational_surface_case {
    char const *name;
    std::unique_ptr<sw_surface> surface;
    law_ptr f;
};

// The arc of radius 2 at height 0.5 from (2, 0) to (0, 2) over [0, 1].
rational_curve_case rational_arc();

// The quarter of the torus of radii 2 and 1 over [0, 1] x [0, 1]: the arc above turned about the
// z axis through a quarter turn.
rational_surface_case rational_torus_patch();

}  // namespace bench
