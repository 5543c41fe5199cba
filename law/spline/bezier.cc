#include <law/base/tolerance.h>
#include <law/core/lawutil_errors.h>
#include <law/spline/bernstein.h>
#include <law/spline/bezier.h>

void check_bezier_order(int n) {
    if (n < 1) law_error(SW_BAD_ORDER);
}

void check_bezier_weights(int n, double const *weights) {
    for (int j = 0; j < n; ++j) {
        if (!(weights[j] >= get_resabs())) law_error(SW_BAD_WEIGHTS);
    }
}

ZEM::position bezier_eval(int n, ZEM::position const *p, double const *w, double u,
                          double *weight_sum) {
    check_bezier_order(n);
    if (!w) {
        if (weight_sum) *weight_sum = 1;
        return ZEM::origin +
               bernstein_sum<ZEM::vector>(n, u, [p](int j) { return p[j] - ZEM::origin; });
    }
    check_bezier_weights(n, w);
    ZEM::vector const a =
        bernstein_sum<ZEM::vector>(n, u, [p, w](int j) { return (p[j] - ZEM::origin) * w[j]; });
    double const sum = bernstein_sum<double>(n, u, [w](int j) { return w[j]; });
    if (weight_sum) *weight_sum = sum;
    return ZEM::origin + a / sum;
}

ZEM::vector bezier_eval_vector(int n, ZEM::position const *p, double u) {
    if (n < 1) return ZEM::null_vector;
    return bernstein_sum<ZEM::vector>(n, u, [p](int j) { return p[j] - ZEM::origin; });
}

namespace {
// A weighted point: the vector w (P - origin) and the weight w.
struct homogeneous {
    ZEM::vector v;
    double w;
};
homogeneous operator*(homogeneous const &h, double s) { return {h.v * s, h.w * s}; }
homogeneous operator+(homogeneous const &a, homogeneous const &b) { return {a.v + b.v, a.w + b.w}; }
homogeneous operator-(homogeneous const &a, homogeneous const &b) { return {a.v - b.v, a.w - b.w}; }
}  // namespace

void rational_bezier_derivs(bezier_segment const &s, double u, ZEM::position *p, ZEM::vector *d1,
                            ZEM::vector *d2) {
    int const n = s.count;
    check_bezier_order(n);
    check_bezier_weights(n, s.weights);
    auto h = [&s](int j) {
        return homogeneous{(s.points[j] - ZEM::origin) * s.weights[j], s.weights[j]};
    };
    homogeneous const a = bernstein_sum<homogeneous>(n, u, h);
    ZEM::vector const c = a.v / a.w;
    if (p) *p = ZEM::origin + c;
    if (!d1 && !d2) return;
    homogeneous a1{ZEM::null_vector, 0}, a2{ZEM::null_vector, 0};
    if (n >= 2) {
        a1 =
            bernstein_sum<homogeneous>(n - 1, u, [&h](int j) { return h(j + 1) - h(j); }) * (n - 1);
    }
    if (n >= 3) {
        a2 = bernstein_sum<homogeneous>(n - 2, u,
                                        [&h](int j) { return h(j + 2) - h(j + 1) * 2 + h(j); }) *
             ((n - 1) * (n - 2));
    }
    ZEM::vector const c1 = (a1.v - c * a1.w) / a.w;
    if (d1) *d1 = c1;
    if (d2) *d2 = (a2.v - c1 * (2 * a1.w) - c * a2.w) / a.w;
}
