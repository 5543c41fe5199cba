#pragma once
// Small geometric solvers.
#include <law/base/vector.h>

// Real roots of c[4] x^4 + c[3] x^3 + c[2] x^2 + c[1] x + c[0], ascending; returns their number.
// Lower degrees are handled when the leading coefficients vanish.
int quartic_roots(double const c[5], double roots[4]);

// The line through points (least-squares fit): a point on it and its direction. false when the
// points coincide or do not all lie on that line within resabs.
bool get_line_from_points(int n, ZEM::position const *pts, ZEM::position &root,
                          ZEM::unit_vector &dir);

// The plane through points: a point on it and its normal. false when the points are collinear
// or do not all lie on that plane within resabs.
bool get_plane_from_points(int n, ZEM::position const *pts, ZEM::position &root,
                           ZEM::unit_vector &normal);
