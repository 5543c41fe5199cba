#pragma once
// An axis-aligned rectangle of the parameter plane, a point being x + i y.
#include <cmath>

#include <law/base/complex_number.h>

class rec2d {
  public:
    rec2d() = default;
    rec2d(complex_number ll, complex_number ur) : x0(ll.re), y0(ll.im), x1(ur.re), y1(ur.im) {}
    rec2d(double x0, double y0, double x1, double y1) : x0(x0), y0(y0), x1(x1), y1(y1) {}

    complex_number center() const { return {(x0 + x1) / 2, (y0 + y1) / 2}; }
    complex_number down_left() const { return {x0, y0}; }
    complex_number down_right() const { return {x1, y0}; }
    complex_number up_right() const { return {x1, y1}; }
    complex_number up_left() const { return {x0, y1}; }
    double diagonal() const { return std::hypot(x1 - x0, y1 - y0); }
    bool inside(complex_number p) const {
        return x0 <= p.re && p.re <= x1 && y0 <= p.im && p.im <= y1;
    }

    double x0 = 0, y0 = 0;  // lower left
    double x1 = 0, y1 = 0;  // upper right
};
