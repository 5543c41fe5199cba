#pragma once
// Fitting a law given on the command line by a spline curve: the law as a space curve (a law of
// one output f stands for the plane curve (t, f(t), 0)), and the fitted curve.
#include <functional>
#include <memory>
#include <string>

#include <law/law.h>

namespace law_tool {

// The law as a curve of three outputs; raises tool_error for any other shape.
law_ptr as_space_curve(law_ptr const &l);

// Runs fit with the law's exact derivatives where it has them (fit_with_best_derivatives), or with
// the option "fast_euler" on when differences were asked for; true when exact derivatives made it.
bool fit_with_derivatives(bool differences, std::function<void()> const &fit);

// What the fit output says of its derivatives.
char const *derivatives_text(bool exact);

// How fit_curve fits: piece by piece between the law's singular points
// (law_to_sw_curve_in_pieces) or, with `whole`, over the range at once (law_to_sw_curve); with the
// law's exact derivatives where it has them or, with `differences`, one-sided differences.
struct curve_fit_method {
    bool whole = false;
    bool differences = false;
};

// The fitted curve over [a, b]; library errors become tool_error. exact (when given) receives
// whether exact derivatives made it.
std::unique_ptr<sw_curve> fit_curve(law const &curve, double a, double b, double tol,
                                    knot_removal_strategy strategy, curve_fit_method how = {},
                                    bool *exact = nullptr);

// The largest distance between a law and its fitted curve, measured densely (sw_curve_distance);
// the law's errors become tool_error.
fit_distance measure_curve_fit(law const &curve, sw_curve const &c);

// "measured: D (largest distance at N points)".
std::string measured_text(fit_distance const &m, char const *points);

// A fit farther from the law than tol (by either figure) is a failure, unless keep: then it is
// noted on standard error. Returns whether the fit is within tol.
bool judge_fit(double reported, fit_distance const &m, double tol, bool keep);

}  // namespace law_tool
