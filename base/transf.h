#pragma once
// An affine transform of 3-space: p * T = p * A + t, with A = scaling times a matrix that may
// rotate, reflect or shear. Transforms compose left to right: p * (T1 * T2) = (p * T1) * T2.
#include <law/base/matrix.h>
#include <law/base/vector.h>

namespace ZEM {
class transf {
  public:
    transf() = default;  // identity
    transf(matrix const &affine, vector const &translation, double scaling = 1.0)
        : affine_(affine), translation_(translation), scaling_(scaling) {}
    matrix const &affine() const { return affine_; }  // without the scaling
    vector const &translation() const { return translation_; }
    double scaling() const { return scaling_; }
    bool reflect() const { return affine_.determinant() < 0; }
    bool identity() const;
    transf inverse() const;
    friend transf operator*(transf const &a, transf const &b);
    friend bool operator==(transf const &a, transf const &b);
    friend bool operator!=(transf const &a, transf const &b) { return !(a == b); }

  private:
    matrix affine_ = matrix::identity();
    vector translation_;
    double scaling_ = 1.0;
};

inline position operator*(position const &p, transf const &t) {
    vector const v = (p - origin) * t.affine() * t.scaling() + t.translation();
    return origin + v;
}
// Directions take the linear part only.
inline vector operator*(vector const &v, transf const &t) { return v * t.affine() * t.scaling(); }
}  // namespace ZEM

ZEM::transf translate_transf(ZEM::vector const &v);
ZEM::transf scale_transf(double s);
// Reflection in the plane through the point with the given normal.
ZEM::transf reflect_transf(ZEM::vector const &normal, ZEM::position const &point = ZEM::origin);
ZEM::transf rotate_transf(double angle, ZEM::vector const &axis);
// The transform from the global frame to a frame with the given origin and axes
// (the third axis is x cross y).
ZEM::transf coordinate_transf(ZEM::position const &new_origin, ZEM::unit_vector const &x_axis,
                              ZEM::unit_vector const &y_axis);
