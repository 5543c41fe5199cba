#pragma once
// pow(a, 0.5) and pow(a, -1) with pow's own bits, mostly without calling pow. The C library's
// pow is not correctly rounded: it errs by up to 0.54 units in the last place (its documented
// bound), and gives another double than sqrt(a) or 1 / a for about one value in a thousand.
// Where the correctly rounded value lies within 0.44 units of the exact one, no other double is
// within 0.54 units, and pow gives that value too; elsewhere (and outside the normal range, or in
// another rounding mode) these call pow.

// pow(a, 0.5).
double root_as_pow(double a);
// pow(a, -1).
double reciprocal_as_pow(double a);
