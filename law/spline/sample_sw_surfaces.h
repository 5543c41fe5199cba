#pragma once
// Surfaces with known shapes for tests and measurements.
class sw_surface;

// The plane (s, t, 0) over [0, K1 - degree1] x [0, K2 - degree2]: uniform clamped knots and the
// control points at their Greville abscissae.
sw_surface *make_identity_sw_surface(int K1, int K2, int degree1, int degree2);

// The same knots with control points drawn in [-1, 1]^3 from the seed (weights in [0.5, 2] when
// rational).
sw_surface *make_random_sw_surface(int K1, int K2, int degree1, int degree2, int rational,
                                   unsigned seed);
