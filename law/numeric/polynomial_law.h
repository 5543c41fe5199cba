#pragma once
// Polynomial laws: a polynomial in X written out as a law.
class law;

// c[0] + c[1] X + c[2] X^2 + ... + c[n] X^n as one left-nested sum of laws (new reference).
law *make_polynomial_law(double *coefficients, int degree);
