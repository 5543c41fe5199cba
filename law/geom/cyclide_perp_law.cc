#include <law/geom/cyclide_perp_law.h>

#include <cmath>
#include <limits>
#include <numbers>

#include <law/geom/cyclide_law.h>
#include <law/geom/geom_util.h>
#include <law/geom/tree_arithmetic.h>
#include <law/lang/law_list.h>

namespace {
law_list reg(new cyclide_perp_law());

constexpr int grid = 24;
constexpr int steps = 60;

law **checked(law **subs, int n) {
    if (!subs && n == 0) return nullptr;  // the prototype
    if (n < 3 || n > 4 || !subs) law_error(LAW_MR_NUM);
    if (n == 4 && (!subs[3] || subs[3]->return_dim() != 3)) law_error(LAW_DIM);
    return subs;
}

law_ptr partials_of(law_ptr const &surface) {
    using namespace tree;
    law_ptr const fu = d(surface, 0), fv = d(surface, 1);
    return vec({build::component(fu, 1), build::component(fu, 2), build::component(fu, 3),
                build::component(fv, 1), build::component(fv, 2), build::component(fv, 3)});
}
}  // namespace

cyclide_perp_law::cyclide_perp_law() : multiple_law(nullptr, 0) {}

cyclide_perp_law::cyclide_perp_law(law **subs, int n)
    : multiple_law(checked(subs, n), n),
      surface_(cyclide_shape::of_members(subs, n).surface()),
      partials_(partials_of(surface_)) {}

int cyclide_perp_law::take_size() const {
    return fsub_num() == 4 && fsub()[3] ? fsub()[3]->take_dim() : 3;
}

ZEM::position cyclide_perp_law::point_of(double const *x) const {
    if (fsub_num() == 4) return fsub()[3]->evaluateM_P(x);
    return {x[0], x[1], x[2]};
}

ZEM::par_pos cyclide_perp_law::foot(ZEM::position const &p) const {
    auto distance_sq = [&](double u, double v) {
        double const uv[2] = {u, v};
        return (surface_->evaluateM_P(uv) - p).len_sq();
    };
    // The nearest grid point, then Gauss-Newton on |S(u, v) - p|^2, halving a step that does
    // not bring the surface nearer.
    double u = 0, v = 0, best = std::numeric_limits<double>::infinity();
    for (int i = 0; i < grid; ++i)
        for (int j = 0; j < grid; ++j) {
            double const gu = 2 * std::numbers::pi * i / grid, gv = 2 * std::numbers::pi * j / grid;
            if (double const d = distance_sq(gu, gv); d < best) {
                best = d;
                u = gu;
                v = gv;
            }
        }
    for (int k = 0; k < steps; ++k) {
        double const uv[2] = {u, v};
        double dd[6];
        partials_->evaluate(uv, dd);
        ZEM::vector const su(dd[0], dd[1], dd[2]), sv(dd[3], dd[4], dd[5]);
        ZEM::vector const r = surface_->evaluateM_P(uv) - p;
        double const a = su % su, b = su % sv, c = sv % sv, gu = su % r, gv = sv % r;
        double const det = a * c - b * b;
        if (!(det > 0)) break;
        double du = -(c * gu - b * gv) / det, dv = -(a * gv - b * gu) / det;
        double scale = 1;
        while (scale > 1e-6 && distance_sq(u + scale * du, v + scale * dv) > best) scale /= 2;
        if (scale <= 1e-6) break;
        u += scale * du;
        v += scale * dv;
        best = distance_sq(u, v);
        if (std::abs(scale * du) + std::abs(scale * dv) < 1e-15) break;
    }
    return {u, v};
}

ZEM::par_pos cyclide_perp_law::get_m(double const *x) const {
    if (!surface_) law_error(LAW_EVAL);
    return foot(point_of(x));
}

ZEM::position cyclide_perp_law::point_on_cyclide(double const *x) const {
    ZEM::par_pos const m = get_m(x);
    double const uv[2] = {m.u, m.v};
    return surface_->evaluateM_P(uv);
}

void cyclide_perp_law::evaluate(double const *x, double *answer) const {
    ZEM::par_pos const m = get_m(x);
    answer[0] = m.u;
    answer[1] = m.v;
}

law *cyclide_perp_law::deriv(int which) const { return numerical_derivative(this, which); }

void cyclide_perp_law::full_size(SizeAccumulator &acc, int count_self) const {
    if (count_self) acc.addSize(sizeof(cyclide_perp_law) - sizeof(multiple_law));
    multiple_law::full_size(acc, count_self);
    for (law_ptr const &l : {surface_, partials_})
        if (l) l->full_size(acc, 1);
}
