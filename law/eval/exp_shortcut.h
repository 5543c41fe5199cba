#pragma once
// exp over many values with the C library's own bits, mostly without calling exp.
// The C library's exp errs by up to 0.511 units in the last place (its documented bound: half a
// unit, 1.11/128 of one from its table, the error of its polynomial, and 0.25/128 without a fused
// multiply-add). A value known to about 2^-62 of itself whose nearest double lies within 0.487
// units of it leaves exp no other double (the rest call exp: about one value in forty).

// out[i] = exp(a[i]) for i < m, bit for bit. out may be a.
void exps_as_exp(double const *a, double *out, int m);
