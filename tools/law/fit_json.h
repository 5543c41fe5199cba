#pragma once
// The --json results of law fit and law fit2.
#include <law/law.h>

#include "json_text.h"

namespace law_tool {

struct surface_fit;

// degree, control_points, knots, accuracy, measured, measured_at, within_tolerance,
// exact_derivatives, time_ms; with the spline, its knot_vector and control_polygon too.
json_object curve_fit_json(sw_curve const &c, double achieved, fit_distance const &measured,
                           double tol, double ms, bool exact, bool with_spline);

// control_net, knots_s, knots_t, accuracy, tolerance, measured, measured_at, within_tolerance,
// exact_derivatives, time_ms.
json_object surface_fit_json(surface_fit const &fit, fit_distance const &measured);

}  // namespace law_tool
