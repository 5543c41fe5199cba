#pragma once
// Romberg integration of laws. Each integrator stores its best estimate in *result and returns
// the number of levels used, or 0 when max_level was reached without meeting tol.
class law;

// The integral of the scalar law f of one input from a to b.
int Nintegrate(law const *f, double a, double b, double *result, double tol = 1e-10,
               int min_level = 2, int max_level = 20);

// The integral of f's first output over input `which` from a to b, the other inputs taken from
// x (f->take_dim() values); x[which] is left at the last sample.
int Nintegrate_wrt(law const *f, double a, double b, int which, double *x, double *result,
                   double tol = 1e-10, int min_level = 2, int max_level = 20);

// The sum of Nintegrate_wrt over the pieces between a, splits[0], ..., splits[nsplit - 1], b,
// each shrunk by 1e-14 at both ends; returns the largest level count of the pieces.
int Nintegrate_wrt_and_split(law const *f, double a, double b, int which, double *x, double *result,
                             int nsplit, double const *splits, double tol = 1e-10,
                             int min_level = 2, int max_level = 20);

// Levels beyond this are not run: each level doubles the samples.
inline constexpr int romberg_level_cap = 30;
