#pragma once
// The sum of the Bernstein polynomials of one order, each times its coefficient: the value of a
// Bezier segment whose points (or weighted points, or differences) coef(j) gives. Orders 2 to 4
// are written out, since nearly every segment of the library is cubic or less.
#include <law/base/tolerance.h>

// sum over j < n of C(n-1, j) u^j (1-u)^(n-1-j) coef(j), for n >= 1; the end values are taken
// as they are within get_resabs of an end.
template <class T, class F>
T bernstein_sum(int n, double u, F const &coef) {
    if (n == 1 || u < get_resabs()) return coef(0);
    if (1 - u < get_resabs()) return coef(n - 1);
    double const v = 1 - u;
    switch (n) {
        case 2:
            return coef(0) * v + coef(1) * u;
        case 3:
            return coef(0) * (v * v) + coef(1) * (2 * u * v) + coef(2) * (u * u);
        case 4:
            return coef(0) * (v * v * v) + coef(1) * (3 * u * v * v) + coef(2) * (3 * u * u * v) +
                   coef(3) * (u * u * u);
        default:
            break;
    }
    // C(n-1, j) u^j v^(n-1-j), updated term by term from v^(n-1).
    double vpow = 1;
    for (int j = 0; j < n - 1; ++j) vpow *= v;
    double const ratio = u / v;
    double b = vpow;
    T sum = coef(0) * b;
    for (int j = 1; j < n; ++j) {
        b *= ratio * (n - j) / j;
        sum = sum + coef(j) * b;
    }
    return sum;
}
