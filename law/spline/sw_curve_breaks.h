#pragma once
// Where a spline curve may bend sharply: its interior knots in (start, end), each with the order
// of the first derivative that may jump there (degree - multiplicity + 1).
class sw_curve;

// New arrays (vorn_allocate, null when there are none) of places and orders; returns their count.
int sw_curve_breaks(sw_curve const &c, double start, double end, double **where, int **order);
