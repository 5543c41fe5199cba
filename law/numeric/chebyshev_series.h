#pragma once
// Chebyshev series on [-1, 1]: the interpolant through values at Chebyshev points, its
// evaluation, derivative and the length at which its coefficients reach the level of rounding.
#include <span>
#include <vector>

namespace chebyshev {

// The n points of the second kind, -cos(j pi / (n - 1)) for j = 0 ... n - 1: ascending, both
// ends included (n >= 2; the single point 0 for n = 1).
std::vector<double> lobatto_points(int n);
// The n points of the first kind, -cos((2 j + 1) pi / (2 n)): ascending, ends excluded.
std::vector<double> gauss_points(int n);

// Coefficients c[0 ... n-1] of sum c[k] T_k(t) through the values at lobatto_points(n).
std::vector<double> lobatto_coefficients(std::span<double const> values);
// The values at lobatto_points(n) of a series of at most n terms (its inverse).
std::vector<double> lobatto_values(std::span<double const> c, int n);
// The same through the values at gauss_points(n).
std::vector<double> gauss_coefficients(std::span<double const> values);

// The series at t (Clenshaw's recurrence).
double value(std::span<double const> c, double t);
// The series at each of the points ts, each value as value() gives it, bit for bit.
std::vector<double> values(std::span<double const> c, std::span<double const> ts);
// Coefficients of the derivative d/dt (one fewer; a single 0 for a constant).
std::vector<double> derivative(std::span<double const> c);

// The number of coefficients worth keeping: the series is resolved when this is below c.size(),
// which happens when the coefficients fall to a plateau at the relative level tol (the
// Aurentz-Trefethen rule for chopping a Chebyshev series). Short series (under 17 terms) are
// resolved only when their last few coefficients are negligible.
int resolved_length(std::span<double const> c, double tol);

}  // namespace chebyshev
