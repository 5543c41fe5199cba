#include <law/base/transf.h>

#include <cmath>

#include <law/base/tolerance.h>

namespace ZEM {

bool transf::identity() const { return *this == transf(); }

transf transf::inverse() const {
    matrix const inv = affine_.inverse();
    double const s = scaling_ != 0 ? 1.0 / scaling_ : 0.0;
    return {inv, -(translation_ * inv) * s, s};
}

transf operator*(transf const &a, transf const &b) {
    // p*a*b = (p A sa + ta) B sb + tb
    return {a.affine_ * b.affine_, a.translation_ * b.affine_ * b.scaling_ + b.translation_,
            a.scaling_ * b.scaling_};
}

bool operator==(transf const &a, transf const &b) {
    double const tol = get_resnor();
    for (int i = 0; i < 3; ++i) {
        for (int j = 0; j < 3; ++j) {
            double const x = a.affine_.element(i, j) * a.scaling_;
            double const y = b.affine_.element(i, j) * b.scaling_;
            if (std::fabs(x - y) > tol) return false;
        }
        if (std::fabs(a.translation_[i] - b.translation_[i]) > get_resabs()) return false;
    }
    return true;
}

}  // namespace ZEM

using ZEM::matrix, ZEM::transf, ZEM::vector;

transf translate_transf(vector const &v) { return {matrix::identity(), v}; }

transf scale_transf(double s) { return {matrix::identity(), vector(), s}; }

transf reflect_transf(vector const &normal, ZEM::position const &point) {
    vector const n = ZEM::unit_vector(normal);
    auto row = [&](int i) {
        vector e;
        e[i] = 1;
        return e - n * (2 * n[i]);
    };
    matrix const m(row(0), row(1), row(2));
    vector const p = point - ZEM::origin;
    return {m, p - p * m};
}

transf rotate_transf(double angle, vector const &axis) {
    vector const k = ZEM::unit_vector(axis);
    double const c = std::cos(angle), s = std::sin(angle);
    // Rodrigues' formula applied to the three unit axes (row-vector convention).
    auto image = [&](vector const &v) { return v * c + (k * v) * s + k * ((k % v) * (1 - c)); };
    return {matrix(image({1, 0, 0}), image({0, 1, 0}), image({0, 0, 1})), vector()};
}

transf coordinate_transf(ZEM::position const &new_origin, ZEM::unit_vector const &x_axis,
                         ZEM::unit_vector const &y_axis) {
    vector const z_axis = x_axis * y_axis;
    return {matrix(x_axis, y_axis, z_axis), new_origin - ZEM::origin};
}
