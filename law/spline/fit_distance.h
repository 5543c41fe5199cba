#pragma once
// How far a fitted spline strays from its law, measured at many more places than the fitting
// and its accuracy figures look at: sw_curve_accuracy's 2K+2 even samples and the surface fit's
// own figure can miss the worst place (by a factor of 1.6 on a curve, of a million on a surface
// that bends along a line between its knots).
class law;
class sw_curve;
class sw_surface;

struct fit_distance {
    double distance = 0;  // the largest found; infinite when a distance is not a number
    long samples = 0;     // the parameters or points measured
};

// The curve (a law of one input and three outputs) against c: every span at its ends and at
// fractions that shift from span to span by the golden ratio, as many as a budget of about two
// million parameters allows (4 to 16 a span), and the whole range at 8193 even parameters. The
// law is sampled in one batch; its errors are raised. LAW_DIM for a law of another shape.
fit_distance sw_curve_distance(law const *f, sw_curve const &c);

// The law (two inputs, three outputs) against S: an even n x n grid in every patch, n from 3 to
// 9 as a budget of about a million points allows. LAW_DIM for a law of another shape.
fit_distance sw_surface_distance(law const *f, sw_surface &S);
