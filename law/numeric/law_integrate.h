#pragma once
// Closed-form antiderivatives of a few power patterns.
class law;

// An antiderivative of f in its first input for u^n * c u' (and u^n with u' constant); f
// simplified otherwise. A new law owned by the caller.
law *law_integrate(law const *f);
