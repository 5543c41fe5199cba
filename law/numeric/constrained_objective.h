#pragma once
// What the many-variable searches minimise: a scalar law where the constraint law is positive,
// the largest finite double elsewhere, with its evaluations counted.
#include <law/base/complex_number.h>

class law;

// The first output of a scalar law at the point x, or at the plane point p = x + i y.
double scalar_at(law const *l, double const *x);
double scalar_at(law const *l, complex_number p);

// Raises LAW_EVALV unless l (when given) has one output and at most `coordinates` inputs.
void check_point_law(law const *l, int coordinates);

class constrained_objective {
  public:
    // f and the constraint (which may be null: everywhere allowed) are checked against a point
    // of `coordinates` values.
    constrained_objective(law const *f, law const *constraint, int coordinates);
    bool allowed(double const *x) const;
    double operator()(double const *x);
    double operator()(complex_number p) {
        double const x[2] = {p.re, p.im};
        return (*this)(x);
    }
    int evaluations() const { return evaluations_; }

  private:
    law const *f_;
    law const *constraint_;
    int evaluations_ = 0;
};
