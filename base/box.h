#pragma once
// An axis-aligned box: three intervals.
#include <law/base/interval.h>
#include <law/base/vector.h>

namespace ZEM {
class box {
  public:
    box() = default;
    box(interval const &x, interval const &y, interval const &z) : x_(x), y_(y), z_(z) {}
    box(position const &a, position const &b)
        : x_(std::min(a.x(), b.x()), std::max(a.x(), b.x())),
          y_(std::min(a.y(), b.y()), std::max(a.y(), b.y())),
          z_(std::min(a.z(), b.z()), std::max(a.z(), b.z())) {}
    interval const &x_range() const { return x_; }
    interval const &y_range() const { return y_; }
    interval const &z_range() const { return z_; }
    bool contains(position const &p) const { return x_ >> p.x() && y_ >> p.y() && z_ >> p.z(); }

  private:
    interval x_, y_, z_;
};
}  // namespace ZEM
