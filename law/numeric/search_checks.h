#pragma once
// Checks of what the numerical functions are handed, so that bad input gets a clear error of the
// "lawutil" module instead of a crash, a read past the end of a point or a wrong answer.
class law;
class rec2d;

// f is a law (LAW_NULL_LAW) of one output taking at most max_inputs inputs (LAW_DIM).
void check_scalar_law(law const *f, int max_inputs);

// p, which the caller must give (a law, an array or a place for a result), is not null
// (LAW_NULL_LAW, with `what` as the detail).
void check_given(void const *p, char const *what);

// Both ends and the length between them are finite numbers (LAW_BAD_BOUNDS otherwise).
void check_finite_ends(double a, double b);

// v is a finite number (LAW_BAD_BOUNDS otherwise, with `what` and v as the detail).
void check_finite(double v, char const *what);

// A tolerance that is a number of at least 0 (LAW_BAD_TOLERANCE otherwise).
void check_tolerance(double tol);

// The box's corners are finite (LAW_BAD_BOUNDS otherwise) and it has width and height
// (LAW_BAD_SEARCH_BOX otherwise).
void check_search_box(rec2d const &box);
