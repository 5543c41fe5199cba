#include <cmath>

#include <law/base/options.h>
#include <law/spline/fit_tangents.h>

namespace {
constexpr double step = 0.001;

void check_finite(ZEM::vector const &v) {
    if (!std::isfinite(v.x()) || !std::isfinite(v.y()) || !std::isfinite(v.z()))
        law_error(LAW_BAD_RANGE);
}
}  // namespace

fit_tangents::fit_tangents(law const *f, double t0, double t1) : f_(f), t0_(t0), t1_(t1) {
    if (!get_option("fast_euler")) derivative_ = adopt(f->derivative(0));
}

ZEM::position fit_tangents::point(double t) const {
    ZEM::position const p = f_->evaluateR_P(t);
    check_finite(p - ZEM::origin);
    return p;
}

ZEM::vector fit_tangents::tangent(double t) const {
    ZEM::vector const d = derivative_ ? derivative_->evaluateR_V(t) : difference_tangent(t);
    check_finite(d);
    return d;
}

// -(11 f(t) - 18 f(t + h) + 9 f(t + 2h) - 2 f(t + 3h)) factor: third order, one-sided.
ZEM::vector fit_tangents::one_sided(double t, double h, double factor) const {
    return -(value(t) * 11 - value(t + h) * 18 + value(t + 2 * h) * 9 - value(t + 3 * h) * 2) *
           factor;
}

ZEM::vector fit_tangents::difference_tangent(double t) const {
    // A range shorter than the stencil shrinks the step, so that no value is asked outside it.
    double const h = std::fmin(step, (t1_ - t0_) / 6);
    double const factor = 1 / (6 * h);
    if (t <= t0_) return one_sided(t0_, h, factor);
    if (t >= t1_) return one_sided(t1_, -h, -factor);
    // Near an end the central stencil would leave the range: the one-sided rule from that end.
    if (t - 1.5 * h < t0_) return one_sided(t, h, factor);
    if (t + 1.5 * h > t1_) return one_sided(t, -h, -factor);
    double const g = h / 2;
    return ((value(t + g) - value(t - g)) - (value(t + 3 * g) - value(t - 3 * g)) / 27) *
           (9 / (8 * h));
}
