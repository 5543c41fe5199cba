#pragma once
// Finite-difference derivatives of a law at a point.
class law;

// The order-th derivative of every output of f with respect to input `which` at x, written to
// out (f->return_dim() values), by a central stencil of 3 order + 1 samples.
void Ndifferentiate(law const *f, double const *x, int which, double *out, int order = 1);

// The same by a one-sided stencil: side 1 samples below x[which], any other side above. The step
// shrinks so that no sample leaves a bounded domain of the input.
void Ndifferentiate_sided(law const *f, double const *x, int which, int side, double *out,
                          int order = 1);
