#include "fit_json.h"

#include <algorithm>
#include <span>

#include "surface_fit.h"

namespace law_tool {
namespace {

bool within(double reported, fit_distance const &m, double tol) {
    return std::max(reported, m.distance) <= tol;
}

std::span<double const> knots(double const *k, int n) { return {k, static_cast<std::size_t>(n)}; }

}  // namespace

json_object curve_fit_json(sw_curve const &c, double achieved, fit_distance const &measured,
                           double tol, double ms, bool exact, bool with_spline) {
    json_object o;
    o.add("degree", c.get_degree()).add("control_points", c.get_K());
    o.add("knots", c.get_num_knots()).add("accuracy", achieved);
    o.add("measured", measured.distance).add("measured_at", measured.samples);
    o.add("within_tolerance", within(achieved, measured, tol)).add("exact_derivatives", exact);
    o.add("time_ms", ms);
    if (!with_spline) return o;
    o.add("knot_vector", knots(c.get_knot_vector(), c.get_num_knots()));
    json_array polygon;
    double const *p = c.get_control_points();
    for (int i = 0; i < c.get_K(); ++i, p += 3) polygon.push(json_array({p, 3}));
    return o.add("control_polygon", polygon);
}

json_object surface_fit_json(surface_fit const &fit, fit_distance const &measured) {
    sw_surface const &S = *fit.surface;
    json_object o;
    o.add("control_net",
          json_array().push(S.get_num_control_points1()).push(S.get_num_control_points2()));
    o.add("knots_s", knots(S.get_knot_vector1(), S.get_num_knots1()));
    o.add("knots_t", knots(S.get_knot_vector2(), S.get_num_knots2()));
    o.add("accuracy", fit.achieved).add("tolerance", fit.tol);
    o.add("measured", measured.distance).add("measured_at", measured.samples);
    o.add("within_tolerance", within(fit.achieved, measured, fit.tol));
    o.add("exact_derivatives", fit.exact);
    return o.add("time_ms", fit.seconds * 1e3);
}

}  // namespace law_tool
