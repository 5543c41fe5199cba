#pragma once
// The point and tangent of a law at a breakpoint of its fitting. With the option "fast_euler"
// on, tangents are finite differences of the law's values (no derivative law is built); off,
// they are the law's symbolic derivative. The law's singular points cut the range into pieces
// that the differences never reach across: near a piece's end they look into the piece only, so
// that a tangent break gives each side its own tangent.
#include <vector>

#include <law/base/vector.h>
#include <law/core/law.h>

class fit_tangents {
  public:
    // f over [t0, t1] with its singular points inside, ascending; the derivative law is made
    // here when "fast_euler" is off.
    fit_tangents(law const *f, double t0, double t1, std::vector<double> breaks = {});

    // The law's point at t; LAW_BAD_RANGE when it is not finite.
    ZEM::position point(double t) const;
    // The tangent at t, by the end rules at t0, t1 and the singular points. At a singular point,
    // side -1 takes the tangent of the piece that ends there, +1 of the one that starts there;
    // side 0 looks across it.
    ZEM::vector tangent(double t, int side = 0) const;

  private:
    ZEM::vector difference_tangent(double t, int side) const;
    ZEM::vector one_sided(double t, double h, double factor) const;
    ZEM::vector value(double t) const { return point(t) - ZEM::origin; }

    law const *f_;
    law_ptr derivative_;
    double t0_, t1_;
    std::vector<double> breaks_;
};
