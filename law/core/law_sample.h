#pragma once
// Sampling a law at one value whatever its dimensions.
class law;

// The first output of l with t as its first input and 0 for any further input.
double value_at(law const *l, double t);

// The first outputs of l at n points that differ from x (0 everywhere when x is null) in input
// `which` alone, which takes the values ts, as single evaluations give them; evaluated as one
// batch, with the errors per point when errors is given (law::evaluate_many).
void values_along(law const *l, double const *x, int which, double const *ts, int n, double *ys,
                  int *errors = nullptr);
