#pragma once
// The polynomial phase of the simplifier (level 2 and above): each part of a law built from
// sums, differences, products, quotients, negations and whole powers of other laws (its atoms)
// is read as a quotient of polynomials in those atoms, common factors cancelled, and written
// back in canonical form where that form is the smaller tree. Polynomial identities such as
// (X+1)^2-(X^2+2*X+1) become 0, and (X^2-1)/(X-1) becomes 1+X.
#include <law/core/law.h>

// l with its polynomial parts in canonical form: l itself (a new reference) when nothing
// changed.
law_ptr polynomial_forms(law const *l);
