#include <algorithm>
#include <cmath>

#include <law/base/options.h>
#include <law/spline/fit_tangents.h>

namespace {
constexpr double step = 0.001;
// How far from a singular point the derivative law is asked for the tangent of one side.
constexpr double side_offset = 1e-9;

void check_finite(ZEM::vector const &v) {
    if (!std::isfinite(v.x()) || !std::isfinite(v.y()) || !std::isfinite(v.z()))
        law_error(LAW_BAD_RANGE);
}
}  // namespace

fit_tangents::fit_tangents(law const *f, double t0, double t1, std::vector<double> breaks)
    : f_(f), t0_(t0), t1_(t1), breaks_(std::move(breaks)) {
    if (!get_option("fast_euler")) derivative_ = adopt(f->derivative(0));
}

ZEM::position fit_tangents::point(double t) const {
    ZEM::position const p = f_->evaluateR_P(t);
    check_finite(p - ZEM::origin);
    return p;
}

ZEM::vector fit_tangents::tangent(double t, int side) const {
    ZEM::vector d;
    if (derivative_) {
        double const at = side ? t + side * side_offset * (1 + std::fabs(t)) : t;
        d = derivative_->evaluateR_V(std::clamp(at, t0_, t1_));
    } else {
        d = difference_tangent(t, side);
    }
    check_finite(d);
    return d;
}

// -(11 f(t) - 18 f(t + h) + 9 f(t + 2h) - 2 f(t + 3h)) factor: third order, one-sided.
ZEM::vector fit_tangents::one_sided(double t, double h, double factor) const {
    return -(value(t) * 11 - value(t + h) * 18 + value(t + 2 * h) * 9 - value(t + 3 * h) * 2) *
           factor;
}

ZEM::vector fit_tangents::difference_tangent(double t, int side) const {
    // The piece [a, b] around t: between the singular points (or range ends) on either side; at
    // a singular point the side chooses the piece, side 0 the whole range.
    double a = t0_, b = t1_;
    if (side) {
        for (double s : breaks_) {
            if (s < t || (s == t && side > 0)) a = std::fmax(a, s);
            if (s > t || (s == t && side < 0)) b = std::fmin(b, s);
        }
    } else {
        for (double s : breaks_) {
            if (s < t) a = std::fmax(a, s);
            if (s > t) b = std::fmin(b, s);
        }
    }
    // A piece shorter than the stencil shrinks the step, so that no value is asked outside it.
    double const h = std::fmin(step, (b - a) / 6);
    double const factor = 1 / (6 * h);
    if (t <= a) return one_sided(a, h, factor);
    if (t >= b) return one_sided(b, -h, -factor);
    // Near an end the central stencil would leave the piece: the one-sided rule from that end.
    if (t - 1.5 * h < a) return one_sided(t, h, factor);
    if (t + 1.5 * h > b) return one_sided(t, -h, -factor);
    double const g = h / 2;
    return ((value(t + g) - value(t - g)) - (value(t + 3 * g) - value(t - 3 * g)) / 27) *
           (9 / (8 * h));
}
