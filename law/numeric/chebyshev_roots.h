#pragma once
// The zeros in [-1, 1] of a Chebyshev series, from the eigenvalues of its colleague matrix.
#include <span>
#include <vector>

// Candidate zeros of sum c[k] T_k(t) on [-1, 1], ascending: the real parts of the eigenvalues
// that lie within a small distance of the interval (a double zero comes out as a close pair or
// as a complex pair near the axis, so each candidate is to be checked on the function itself).
// Coefficients below `negligible` in magnitude at the top are dropped first; a series of high
// degree is restricted to two halves of the interval in turn, so that no matrix is large.
std::vector<double> chebyshev_zeros(std::span<double const> c, double negligible);
