#pragma once
// sin and cos over many values with the C library's own bits, mostly without calling them.
// The C library's sin and cos err by up to 0.548 units in the last place (their documented bound,
// "about 0.55"), except for cos within 2^-30 of pi/2, which goes to the library. A value known to
// about 2^-62 of itself whose nearest double lies within 0.445 units of it leaves them no other
// double; the rest call them (about one value in nine, one pair in five).

// out[i] = sin(a[i]) for i < m, bit for bit. out may be a.
void sines_as_sin(double const *a, double *out, int m);
// out[i] = cos(a[i]) for i < m, bit for bit. out may be a.
void cosines_as_cos(double const *a, double *out, int m);
// sines[i] = sin(a[i]) and cosines[i] = cos(a[i]) for i < m, bit for bit: the two share their
// work. Either may be a.
void sines_and_cosines(double const *a, double *sines, double *cosines, int m);
