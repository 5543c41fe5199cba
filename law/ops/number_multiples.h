#pragma once
// Derivatives of a law times or over a plain number, built in the form the product and quotient
// rules' simplification gives them, without the terms and rewrites that lead there.
#include <law/ops/arithmetic_laws.h>

// The derivative of a product with a finite number other than 0 for one side, or null where
// it must come from the full product rule.
law_ptr number_multiple_derivative(times_law const *t, int which);

// The same for a quotient by such a number.
law_ptr number_quotient_derivative(division_law const *q, int which);
