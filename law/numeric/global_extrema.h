#pragma once
// The largest and smallest values of a law of one input on a closed interval, beside Nmax and
// Nmin: from Chebyshev interpolants on pieces cut at the law's singular points, the candidates
// being the ends of the pieces (so kinks, jumps and the ends of the interval), the zeros of the
// interpolants' derivatives polished on the law's own derivative, and poles, which make the law
// unbounded.
class law;

struct extremum_report {
    double where = 0;  // the parameter
    double value = 0;  // the law's value there
    long evaluations = 0;
};

// Where in [a, b] (either order) f is largest; ties keep the leftmost. Raises LAW_UNBOUNDED when
// f grows without bound towards a pole (the detail names it), LAW_NO_VALUE when f has no value
// anywhere on [a, b], LAW_DIM and LAW_BAD_BOUNDS as Nroot does.
extremum_report Nmax_global(law const *f, double a, double b);
// Where f is smallest.
extremum_report Nmin_global(law const *f, double a, double b);

// The range of output `output` of a law of at most one input over [a, b]. An unbounded side is
// infinite, with the pole in `pole_low` or `pole_high`; or, where the values pass the largest
// double (EXP(X) past 709.78), with `overflows_low` or `overflows_high` and the first such point.
struct range_report {
    double low = 0, high = 0;
    double low_at = 0, high_at = 0;
    bool low_bounded = true, high_bounded = true;
    double pole_low = 0, pole_high = 0;
    bool overflows_low = false, overflows_high = false;
    long evaluations = 0;
};
range_report law_range(law const *f, double a, double b, int output = 0);
