#pragma once
// An sw_curve as the IGES rational B-spline curve (entity 126), whose parameters are the
// curve's packed block after its upper index, degree and four flags.
#include <law/spline/iges_writer.h>
#include <law/spline/sw_curve.h>

inline constexpr int iges_rational_bspline_curve = 126;

iges_parameters iges_curve_parameters(sw_curve const &c);

// Adds the curve to the file; returns its directory pointer.
int add_iges_curve(iges_writer &w, sw_curve const &c, std::string label = {});
