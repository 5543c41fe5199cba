#pragma once
// Minimisation of a scalar law of several variables under a constraint law.
#include <law/base/nvector.h>

class law;

// A compass search from `start` with per-coordinate steps `step` that adapt (halved when no
// neighbour improves, doubled when the search keeps moving), counting only points where the
// constraint law (null: everywhere) is positive. Each iteration also searches along one
// direction: the quasi-Newton (BFGS) step of a model fed by the central differences of the
// compass trials, so that a curved valley costs hundreds of evaluations rather than tens of
// thousands; where the constraint refuses trials, downhill turned along its edge; else the way
// travelled since the steps last changed. It stops after root_iter_max evaluations, when
// the largest step falls to root_x_tol, when the value (of `stop` at the point when given, else
// of f) drops below `target`, or when the steps keep switching between growing and shrinking.
// Returns the best point; *value (when given) receives f there and *out (when given) the final
// steps. Raises LAW_EVALV for a law of other than one output or of more inputs than the point
// has coordinates, LAW_DIM when start and step differ in length.
nvector NminND(law *f, law *constraint, nvector &start, nvector &step, double *value, nvector *out,
               double target, law *stop);
