#pragma once
// The point and tangent of a law at a breakpoint of its fitting. With the option "fast_euler"
// on, tangents are finite differences of the law's values (no derivative law is built); off,
// they are the law's symbolic derivative.
#include <law/base/vector.h>
#include <law/core/law.h>

class fit_tangents {
  public:
    // f over [t0, t1]; the derivative law is made here when "fast_euler" is off.
    fit_tangents(law const *f, double t0, double t1);

    // The law's point at t; LAW_BAD_RANGE when it is not finite.
    ZEM::position point(double t) const;
    // The tangent at t, by the end rules at t0 and t1.
    ZEM::vector tangent(double t) const;

  private:
    ZEM::vector difference_tangent(double t) const;
    ZEM::vector one_sided(double t, double h, double factor) const;
    ZEM::vector value(double t) const { return point(t) - ZEM::origin; }

    law const *f_;
    law_ptr derivative_;
    double t0_, t1_;
};
