#pragma once
// Merging the double knots of a cubic B-spline. Where an interior knot appears twice (the spline
// is once differentiable there), the control points on either side of it are estimated again
// from the spans beyond (L from the left, R from the right) and, when the two estimates agree
// within the removal tolerance, become their mean at a single knot. A curve merges its one row of
// control points; a surface all its rows along one direction together, the estimates of every
// row agreeing.
#include <vector>

#include <law/base/vector.h>
#include <law/spline/knot_removal_strategy.h>

// Where a merged spline is compared with its law, as fractions of each span: apart from the
// fitting's own test fractions.
inline constexpr double knot_check_fractions[] = {0.05, 0.25, 0.5, 0.75, 0.95};

struct knot_rows {
    std::vector<double> knots;                     // K + 4 knots
    std::vector<std::vector<ZEM::position>> rows;  // each of K control points
};

// Walks the knots from the third on, merging each double knot not listed in keep where the
// strategy lets it go (remove_all_knots: always; else when |L - R| < removal_tol in every row).
void merge_double_knots(knot_rows &net, knot_removal_strategy strategy, double removal_tol,
                        std::vector<double> const &keep);

// For each span index i (the span [knots[i], knots[i + 1]]) of a cubic's knot vector: adds to
// keep the nearest single interior knot on either side; false when none was added.
bool keep_single_knots_near(std::vector<double> const &knots, std::vector<int> const &spans,
                            std::vector<double> &keep);
