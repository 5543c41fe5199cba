#pragma once
// The methods behind law.integrate, law.roots, law.minimize, law.maximize, law.roots2d,
// law.bounds, law.frame, law.fit_curve and law.fit_surface, and the files the splines write:
// each is what the `law` tool runs by default for the same request, called as the tool calls
// it. The package reaches the library's numerics and fitting only through these functions, so
// that when the tool's default changes, the package follows by changing one line here;
// tests/python/test_tool_methods.py runs the tool and the package on the same laws and fails
// while they differ.
//
// The arguments are checked by the callers (one input, finite ends, ...); the library's raised
// errors pass through.
#include <memory>
#include <string>
#include <vector>

#include <law/law.h>

namespace law_py::methods {

// law integrate: Nintegrate_adaptive with the absolute tolerance tol and the relative 1e-10
// (either limit may be infinite); a tolerance that cannot be met raises its error.
double integrate(law const &f, double a, double b, double tol);

// law roots: Nroot_all's report (the roots ascending, and whether the search resolved the law).
root_report roots(law const &f, double a, double b);

// law min, law max: Nmin_global and Nmax_global, the parameter of the extremum (a law
// unbounded towards a pole raises LAW_UNBOUNDED).
double argmin(law const &f, double a, double b);
double argmax(law const &f, double a, double b);

// law roots2d: every zero of the outputs at once in the box (the library's plane_zeros), ordered
// by x, then y; refused (LAW_BAD_RANGE) with the tool's message when the zeros form curves or the
// search could not settle the box.
std::vector<complex_number> all_zeros(law const &f, rec2d const &box);
// law roots2d --quadtree: found by Nroot2D as the minima of the sum of the squared outputs that
// reach zero, from a quadtree whose cells are at most `cell` across; ordered by x, then y.
std::vector<complex_number> quadtree_zeros(law const &f, rec2d const &box, double cell);
// The tool's cell when none is given: an eighth of the box's diagonal.
double default_cell(rec2d const &box);

// law bounds: for a law of one input over a finite interval (given, or its domain), the range
// of each output (law_range; an unbounded output raises LAW_UNBOUNDED, naming the pole), else
// law::bounds over the box [lo, hi] (the inputs' own domains when null).
void bounds(law const &f, double *min, double *max, double const *lo, double const *hi, double tol);

// law frame: at n parameters evenly from a to b, the point, the unit tangent and the normal that
// turns least about the tangent (MINROT with its refined step), started at the Frenet normal at
// a, or at a normal of the tangent on a curve that does not bend there.
struct frame_samples {
    std::vector<double> points, tangents, normals;  // three values per parameter
};
frame_samples frames(law const &curve, double a, double b, int n);

// law fit: law_to_sw_curve_in_pieces with the tool's knot removal (0: within tolerance, unless
// given) and the law's exact derivatives where it has them (fit_with_best_derivatives).
std::unique_ptr<sw_curve> fit_curve(law const &curve, double a, double b, double tol,
                                    knot_removal_strategy strategy);
// The distance the tool reports for a fitted curve: sw_curve_accuracy.
double curve_accuracy(law const &curve, sw_curve const &c);
// The distances the tool measures itself: sw_curve_distance, sw_surface_distance.
fit_distance measured_distance(law const &curve, sw_curve const &c);
fit_distance measured_distance(law const &f, sw_surface &S);
// law fit and fit2 refuse (LAW_BAD_TOLERANCE) a fit that strays farther than tol by either
// figure, with the tool's message, unless kept.
void judge_fit(double reported, double measured, double tol, bool keep);

// law fit2: law_to_sw_surface, with exact derivatives where the law has them; achieved receives
// the distance it reports.
std::unique_ptr<sw_surface> fit_surface(law const &f, ZEM::interval const &s,
                                        ZEM::interval const &t, double tol, double &achieved);

// --iges FILE: an IGES file of the one curve (entity 126) or surface (entity 128); false when
// the file cannot be written.
bool write_iges(sw_curve const &c, std::string const &path);
bool write_iges(sw_surface const &S, std::string const &path);

// --step FILE: a STEP file (AP214) of the one curve (B_SPLINE_CURVE_WITH_KNOTS) or surface
// (B_SPLINE_SURFACE_WITH_KNOTS) in its part, as the tool writes it; false when the file cannot be
// written.
bool write_step(sw_curve const &c, std::string const &path);
bool write_step(sw_surface const &S, std::string const &path);

}  // namespace law_py::methods
