#pragma once
// An sw_surface as the IGES rational B-spline surface (entity 128), whose parameters are the
// surface's packed block after its upper indices, degrees and five flags.
#include <law/spline/iges_writer.h>
#include <law/spline/sw_surface.h>

inline constexpr int iges_rational_bspline_surface = 128;

iges_parameters iges_surface_parameters(sw_surface const &S);

// Adds the surface to the file; returns its directory pointer.
int add_iges_surface(iges_writer &w, sw_surface const &S, std::string label = {});
