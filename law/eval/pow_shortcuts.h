#pragma once
// pow(a, 0.5), pow(a, -1) and small whole powers with pow's own bits, mostly without calling pow.
// The C library's pow is not correctly rounded: it errs by up to 0.54 units in the last place (its
// documented bound), and gives another double than sqrt(a) or 1 / a for about one value in a
// thousand. Where the correctly rounded value lies within 0.44 units of the exact one, no other
// double is within 0.54 units, and pow gives that value too; elsewhere (and outside the normal
// range, or in another rounding mode) these call pow. A whole power is known to far more than those
// units from a product carried in two doubles, and so takes pow's bits the same way.

// The whole exponents that whole_power_as_pow takes: 3 to 64.
inline bool short_whole_exponent(double n) { return n >= 3 && n <= 64 && n == static_cast<int>(n); }

// pow(a, n) for a short whole exponent n.
double whole_power_as_pow(double a, double n);
// out[i] = pow(a[i], n) for i < m and a short whole exponent n; out may be a.
void whole_powers_as_pow(double const *a, double n, double *out, int m);

// pow(a, 0.5).
double root_as_pow(double a);
// pow(a, -1).
double reciprocal_as_pow(double a);
