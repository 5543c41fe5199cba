#include <law/geom/conic_line_law.h>

#include <algorithm>
#include <cmath>
#include <complex>

#include <law/geom/geom_util.h>
#include <law/lang/law_list.h>

namespace {
law_list line_registration(new conic_line_law());
law_list trough_registration(new conic_trough_line_law());

using complex = std::complex<double>;

law **checked(law **subs, int n) {
    if (!subs && n == 0) return nullptr;  // the prototype
    if (n != 4 || !subs) law_error(LAW_DIM);
    int const dims[4] = {3, 3, 1, 1};
    for (int i = 0; i < 4; ++i)
        if (!subs[i] || subs[i]->return_dim() != dims[i]) law_error(LAW_DIM);
    return subs;
}

// The four complex roots of c[4] t^4 + ... + c[0] by the simultaneous iteration of Durand and
// Kerner, which converges for every start off the real line and needs no deflation.
std::array<complex, 4> quartic_complex_roots(double const c[5]) {
    if (std::abs(c[4]) <= 1e-300) law_error(LAW_ZERODIVIDE);
    complex m[4];
    double bound = 0;
    for (int i = 0; i < 4; ++i) {
        m[i] = c[i] / c[4];
        bound = std::max(bound, std::abs(m[i]));
    }
    auto p = [&](complex z) { return (((z + m[3]) * z + m[2]) * z + m[1]) * z + m[0]; };
    std::array<complex, 4> z;
    complex const seed(0.4, 0.9);
    for (int k = 0; k < 4; ++k) z[k] = (1 + bound) * std::pow(seed, k + 1) / std::abs(seed);
    for (int sweep = 0; sweep < 500; ++sweep) {
        double moved = 0;
        for (int k = 0; k < 4; ++k) {
            complex den = 1;
            for (int j = 0; j < 4; ++j)
                if (j != k) den *= z[k] - z[j];
            if (den == complex(0)) den = 1e-300;
            complex const step = p(z[k]) / den;
            z[k] -= step;
            moved = std::max(moved, std::abs(step) / (1 + std::abs(z[k])));
        }
        if (moved < 1e-16) break;
    }
    return z;
}

// The torus (|q|^2 + a^2 - b^2)^2 = 4 a^2 (qx^2 + qy^2) at q = P + t V.
std::array<double, 4> torus_parameters(ZEM::vector const &p, ZEM::vector const &v, double a,
                                       double b) {
    double const A = v % v, B = 2 * (p % v), C = p % p + a * a - b * b;
    double const vv = v.x() * v.x() + v.y() * v.y(), pv = p.x() * v.x() + p.y() * v.y(),
                 pp = p.x() * p.x() + p.y() * p.y(), a4 = 4 * a * a;
    double const c[5] = {C * C - a4 * pp, 2 * B * C - 2 * a4 * pv, B * B + 2 * A * C - a4 * vv,
                         2 * A * B, A * A};
    std::array<complex, 4> const z = quartic_complex_roots(c);
    std::array<double, 4> t;
    for (int k = 0; k < 4; ++k) t[k] = z[k].real();
    std::sort(t.begin(), t.end());
    return t;
}

// The trough x^2/a^2 + y^2/b^2 = 1 at q = P + t V.
std::array<double, 2> trough_parameters(ZEM::vector const &p, ZEM::vector const &v, double a,
                                        double b) {
    if (a == 0 || b == 0) law_error(LAW_ZERODIVIDE);
    double const ia = 1 / (a * a), ib = 1 / (b * b);
    double const c2 = v.x() * v.x() * ia + v.y() * v.y() * ib;
    double const c1 = 2 * (p.x() * v.x() * ia + p.y() * v.y() * ib);
    double const c0 = p.x() * p.x() * ia + p.y() * p.y() * ib - 1;
    if (c2 <= 1e-300) law_error(LAW_ZERODIVIDE);
    double const disc = c1 * c1 - 4 * c2 * c0;
    if (disc < 0) return {-c1 / (2 * c2), -c1 / (2 * c2)};
    // The root of the larger magnitude first, the other from the product of the roots.
    double const q = -0.5 * (c1 + std::copysign(std::sqrt(disc), c1));
    if (q == 0) return {0, 0};
    double const t1 = q / c2, t2 = c0 / q;
    return {std::min(t1, t2), std::max(t1, t2)};
}
}  // namespace

conic_intersection_law::conic_intersection_law(law **subs, int n, int id)
    : multiple_law(checked(subs, n), n), id_(id) {}

int conic_intersection_law::roots() const { return id_ == law_id::conic_line_law ? 4 : 2; }

int conic_intersection_law::return_size() const {
    if (id_ == law_id::conic_line_law) law_error(LAW_VARIABLE_RETURN);
    return roots();
}

void conic_intersection_law::evaluate(double const *x, double *answer) const {
    if (!fsub()) law_error(LAW_EVAL);
    ZEM::vector const p = fsub()[0]->evaluateM_V(x), v = fsub()[1]->evaluateM_V(x);
    double const a = fsub()[2]->evaluateM_R(x), b = fsub()[3]->evaluateM_R(x);
    if (id_ == law_id::conic_line_law) {
        std::array<double, 4> const t = torus_parameters(p, v, a, b);
        std::copy(t.begin(), t.end(), answer);
    } else {
        std::array<double, 2> const t = trough_parameters(p, v, a, b);
        std::copy(t.begin(), t.end(), answer);
    }
}

void conic_intersection_law::evaluateVAR(double const *x, double *&answer, int &answer_size) const {
    vorn_ptr<double> out(VORN_ARRAY(double, roots()));
    evaluate(x, out.get());
    answer_size = roots();
    answer = out.release();
}

law *conic_intersection_law::deriv(int which) const { return numerical_derivative(this, which); }
