#pragma once
// Minimisation of a scalar law of two variables under a constraint law.
#include <law/base/complex_number.h>

class law;

// A compass search in the plane (a point is x + i y) from `start` with step h, over points
// where the constraint law (null: everywhere) is positive. The step grows after a move and
// halves when no neighbour improves. It stops when the step reaches root_x_tol (without a stop
// law) or the stop law's value at the point falls to root_f_tol, after root_iter_max
// evaluations, or when the point has gone farther than `size` from the start (*state -1, else
// 0). *value receives the best value, *radius twice the final step. Raises LAW_EVALV for a law
// of other than one output or of more than two inputs.
complex_number Nmin2D(law *f, law *constraint, complex_number start, double h, double size,
                      double *value, double *radius, int *state, law *stop);
