#pragma once
// Fitting a curve law piece by piece between its singular points. law_to_sw_curve keeps a
// singular point as a knot, but gives the breakpoint there one tangent, and takes the tangents
// of breakpoints within 1.5e-3 of it from differences across it: at a kink neither is the
// curve's, so the segments beside it are halved down to the tolerance (|t| over [-1, 1] to 1e-9
// takes 204,542 control points). Here each piece is fitted alone, the law continued smoothly past
// the piece's ends for the differences, and the pieces are joined with a triple knot (the curve
// is continuous there, its tangent free to turn).
#include <law/base/interval.h>
#include <law/spline/knot_removal_strategy.h>

class law;
class sw_curve;

// A new curve owned by the caller, within tol of f over range: law_to_sw_curve with the strategy
// on every piece between the singular points f reports inside the range, the pieces joined. With
// no singular point inside, law_to_sw_curve itself. Bad input raises as law_to_sw_curve does.
sw_curve *law_to_sw_curve_in_pieces(law *f, ZEM::interval const &range, double tol,
                                    knot_removal_strategy strategy = remove_knots_within_tolerance);
