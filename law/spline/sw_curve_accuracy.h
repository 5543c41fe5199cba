#pragma once
// How far a spline curve strays from the law it stands for, and the identity spline.
class law;
class sw_curve;

// The largest distance between the curve and the law (evaluateR_P) at 2 K + 2 parameters spread
// evenly over the curve's range. LAW_DIM when the law is not of one input and three outputs.
double sw_curve_accuracy(law *f, sw_curve *c);

// The curve x(t) = t of K control points and the given degree over [0, K - degree]: clamped
// integer knots and control points at the Greville abscissae. SW_BAD_ORDER when K < degree + 1.
sw_curve *make_identity_sw_curve(int K, int degree);
