#pragma once
// log over many values with the C library's own bits, mostly without calling log.
// The C library's log errs by up to 0.52 units in the last place (its documented bound: 0.519,
// 0.520 without a fused multiply-add; about 0.507 near 1). A value known to about 2^-62 of itself
// whose nearest double lies within 0.477 units of it leaves log no other double (the rest call
// log: about one value in twenty).

// The natural logarithm law's value: log(a), LAW_LN at and below 0.
double checked_log(double a);

// out[i] = checked_log(a[i]) for i < m, bit for bit. An argument at or below 0 raises, which
// leaves out partly written. out may be a.
void logs_as_log(double const *a, double *out, int m);
