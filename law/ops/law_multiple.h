#pragma once
// Reading a law as a quotient N / D, and finding a constant ratio between two laws.
#include <law/core/law.h>

// The numerator of a quotient form: A of A / B and of A * B^(-1); any other law is its own
// numerator. New reference.
law *numerator(law const *l);
// The denominator of a quotient form: B of A / B and of A * B^(-1); the constant 1 for any
// other law. New reference.
law *denominator(law const *l);
// The constant m with b = m a, found by comparing their polynomials; 0 when there is none.
double law_multiple(law const *a, law const *b);
