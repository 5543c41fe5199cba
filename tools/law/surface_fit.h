#pragma once
// What fit2 and plot2 share: a law of two inputs fitted by a bicubic surface over a box.
#include <memory>
#include <string>

#include <law/law.h>

namespace law_tool {

class arguments;

struct surface_fit {
    law_ptr f;
    std::unique_ptr<sw_surface> surface;
    double s0 = 0, s1 = 0, t0 = 0, t1 = 0;
    double tol = 0, achieved = 0, seconds = 0;
    bool exact = false;  // exact derivatives made the fit (else differences)
};

// Reads EXPR S0 S1 T0 T1, --tol and --fast-euler from args and fits, with exact derivatives where
// the law has them (fit_with_derivatives); raises tool_error for a law that is not
// two inputs to three outputs or a box that is not finite and not empty.
surface_fit fit_surface(arguments const &args);

// The largest distance between the law and the fit at an even grid of n x n points of the patch
// of spans (i, j).
double patch_error(surface_fit const &fit, int i, int j, int n);

// The largest distance between the law and the fit on an even grid in every patch
// (sw_surface_distance); the law's errors become tool_error.
fit_distance measure_surface_fit(surface_fit const &fit);

// A triangulated mesh of the surface in Wavefront OBJ: n x n vertices, two triangles per cell.
std::string obj_text(sw_surface &S, int n);

}  // namespace law_tool
