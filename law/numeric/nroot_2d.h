#pragma once
// Zeros of a scalar law of two variables in a rectangle, found as the minima of the law that
// reach zero (so the law is best given as a magnitude, such as a sum of squares).
#include <law/base/complex_number.h>
#include <law/numeric/rec2d.h>

class law;

// The zeros reached by Nmin2D from each of the nstarts start points: those where |f| (or the
// stop law, when given) is below root_f_tol, that lie in the box and where the constraint law
// (null: everywhere) is positive, one per zero. A new array from vorn_allocate that the caller
// gives back with vorn_discard; *n receives the count. Raises LAW_BAD_BOUNDS for a box corner
// that is not finite, LAW_BAD_SEARCH_BOX for a box of no width or height or turned inside out.
complex_number *Nroot2D(law *f, law *constraint, rec2d box, int *n, complex_number *starts,
                        int nstarts, law *stop = nullptr);

// As above, and before the start points, the minima of the cells of a quadtree over the box:
// a cell is divided into its quadrants where divide_law (null: never) is positive at its centre;
// divide_law may take the centre's x and y and the cell's diagonal as inputs.
complex_number *Nroot2D(law *f, law *constraint, law *divide_law, rec2d box, int *n,
                        complex_number *starts = nullptr, int nstarts = 0);
