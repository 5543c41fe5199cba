#pragma once
// How a fitted spline gives up the knots that its fitting placed.
enum knot_removal_strategy : int {
    // Fit to half the tolerance, then remove each knot whose two estimates of the merged control
    // point lie within twice the tolerance of each other.
    remove_knots_within_tolerance = 0,
    // Fit to the tolerance and keep every knot.
    keep_all_knots = 1,
    // Fit to the tolerance and remove every removable knot.
    remove_all_knots = 2
};

// The value as a strategy; any other number raises LAW_BAD_RANGE.
knot_removal_strategy to_knot_removal_strategy(int value);
