#pragma once
// Spline curves and surfaces as the B-spline entities of a STEP file: B_SPLINE_CURVE_WITH_KNOTS
// and B_SPLINE_SURFACE_WITH_KNOTS with their control points, the knots given once each with
// their multiplicities; a spline whose weights are not all 1 becomes the complex instance with
// RATIONAL_B_SPLINE_CURVE or RATIONAL_B_SPLINE_SURFACE; one whose parameter range is narrower
// than its knots is trimmed to it (TRIMMED_CURVE, RECTANGULAR_TRIMMED_SURFACE).
#include <string>

#include <law/spline/step_writer.h>
#include <law/spline/sw_curve.h>
#include <law/spline/sw_surface.h>

// Adds the curve's entities and puts the curve into the part; returns the curve's entity number.
// LAW_BAD_RANGE when a control point is not finite.
int add_step_curve(step_writer &w, sw_curve const &c, std::string const &label = {});
// The same for a surface.
int add_step_surface(step_writer &w, sw_surface const &S, std::string const &label = {});
