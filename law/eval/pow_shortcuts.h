#pragma once
// pow(a, 0.5), pow(a, -1) and other short powers with pow's own bits, mostly without calling pow.
// The C library's pow is not correctly rounded: it errs by up to 0.54 units in the last place (its
// documented bound; 0.514 for values between 2^-64 and 2^64), and gives another double than
// sqrt(a) or 1 / a for about one value in a thousand. Where the correctly rounded value lies
// within 0.44 units of the exact one (0.48 between 2^-64 and 2^64), no other double is within
// pow's bound, and pow gives that value too; elsewhere (and outside the normal range, or in
// another rounding mode) these call pow. A short power is known to far more than those units from
// products, roots and reciprocals carried in two doubles, and so takes pow's bits the same way.

// The exponents that power_as_pow takes: the halves and whole numbers up to 64 in size.
inline bool short_exponent(double e) {
    double const twice = 2 * e;
    return twice != 0 && twice >= -128 && twice <= 128 && twice == static_cast<int>(twice);
}

// pow(a, e) for a short exponent e.
double power_as_pow(double a, double e);
// out[i] = pow(a[i], e) for i < m and a short exponent e, mostly without pow, where a[i] and
// the power lie in the normal range; other(a[i], e) elsewhere (it may raise, which leaves out
// partly written). other must give pow(a, e) wherever they do, so that no value depends on which
// one computed it. out may be a.
void powers_as_pow(double const *a, double e, double *out, int m, double (*other)(double, double));

// pow(a, 0.5).
double root_as_pow(double a);
// pow(a, -1).
double reciprocal_as_pow(double a);
