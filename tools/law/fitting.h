#pragma once
// Fitting a law given on the command line by a spline curve: the law as a space curve (a law of
// one output f stands for the plane curve (t, f(t), 0)), and the fitted curve.
#include <memory>

#include <law/law.h>

namespace law_tool {

// The law as a curve of three outputs; raises tool_error for any other shape.
law_ptr as_space_curve(law_ptr const &l);

// The fitted curve over [a, b]; library errors become tool_error.
std::unique_ptr<sw_curve> fit_curve(law const &curve, double a, double b, double tol,
                                    knot_removal_strategy strategy);

}  // namespace law_tool
