#pragma once
// Checks of what the numerical searches are handed, so that bad input gets a clear error of the
// "lawutil" module instead of a wrong answer or a read past the end of a point.
class law;
class rec2d;

// f is a law of one output taking at most max_inputs inputs (LAW_DIM otherwise).
void check_scalar_law(law const *f, int max_inputs);

// Both ends and the length between them are finite numbers (LAW_BAD_BOUNDS otherwise).
void check_finite_ends(double a, double b);

// The box's corners are finite (LAW_BAD_BOUNDS otherwise) and it has width and height
// (LAW_BAD_SEARCH_BOX otherwise).
void check_search_box(rec2d const &box);
