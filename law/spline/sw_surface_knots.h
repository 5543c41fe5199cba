#pragma once
// Merging the double knots of a fitted bicubic surface: its Hermite patches meet with double
// knots (once differentiable), and each iso line of knots whose two estimates of the merged
// control points agree within the removal tolerance along the whole line becomes a single knot,
// first in s, then in t. Merged knots that take the surface out of the tolerance of its law stay
// double.
class law;
class sw_surface;

// A new surface from the Hermite net of the fit; null when the net should stay as it is: no knot
// could go, or one of its own patches lies farther than tol from f at the check fractions (no
// merging can mend that).
sw_surface *merge_sw_surface_knots(law const *f, sw_surface &hermite, double removal_tol,
                                   double tol);

// The largest distance of a bicubic surface from f at the check fractions of every patch.
double largest_patch_error(law const *f, sw_surface &S);
