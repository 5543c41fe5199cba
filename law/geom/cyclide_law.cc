#include <law/geom/cyclide_law.h>

#include <cmath>
#include <string>

#include <law/geom/tree_arithmetic.h>
#include <law/lang/law_list.h>

namespace {
law_list cyclide_registration(new cyclide_law());
law_list dcyclide_registration(new dcyclide_law());

double constant_member(law const *l) {
    if (!l || l->take_dim() != 0 || l->return_dim() != 1)
        law_error(LAW_BASE_C, "a, c and mu of a cyclide are constant numbers");
    double const v = l->eval(0.0);
    if (!std::isfinite(v)) law_error(LAW_BASE_C, "a, c and mu of a cyclide are finite");
    return v;
}

// A law of u and v over the given parameters (as they are when there are none).
law_ptr over_parameters(law_ptr const &f, law *const *subs, int n) {
    law_ptr const uv = cyclide_parameters(subs, n);
    return uv ? tree::of(f, uv) : f;
}
}  // namespace

cyclide_shape cyclide_shape::of_members(law *const *subs, int n) {
    if (n < 3 || n > 5 || !subs) law_error(LAW_MR_NUM, std::to_string(n) + " members");
    check_non_null(subs, n);
    cyclide_shape s{};
    s.a = constant_member(subs[0]);
    s.c = constant_member(subs[1]);
    s.mu = constant_member(subs[2]);
    double const bb = s.a * s.a - s.c * s.c;
    if (bb < 0) law_error(LAW_SQRT);
    s.b = std::sqrt(bb);
    return s;
}

law_ptr cyclide_shape::surface() const {
    using namespace tree;
    law_ptr const u = input(0), v = input(1);
    law_ptr const cu = cos(u), cv = cos(v), cucv = cu * cv;
    law_ptr const d = num(a) - num(c) * cucv;
    return vec({(num(mu) * (num(c) - num(a) * cucv) + num(b * b) * cu) / d,
                num(b) * sin(u) * (num(a) - num(mu) * cv) / d,
                num(b) * sin(v) * (num(c) * cu - num(mu)) / d});
}

law_ptr cyclide_parameters(law *const *subs, int n) {
    if (n <= 3) return {};
    law_ptr const u = share(subs[3]);
    law_ptr const v = n > 4 ? share(subs[4]) : tree::input(1);
    if (!u || !v) law_error(LAW_MR_NUM);
    return tree::vec({u, v});
}

law_ptr cyclide_tree(law **subs, int n) {
    return over_parameters(cyclide_shape::of_members(subs, n).surface(), subs, n);
}

law_ptr dcyclide_tree(law **subs, int n) {
    law_ptr const f = cyclide_shape::of_members(subs, n).surface();
    law_ptr const fu = tree::d(f, 0), fv = tree::d(f, 1);
    law_ptr const both =
        tree::vec({build::component(fu, 1), build::component(fu, 2), build::component(fu, 3),
                   build::component(fv, 1), build::component(fv, 2), build::component(fv, 3)});
    return over_parameters(both, subs, n);
}
