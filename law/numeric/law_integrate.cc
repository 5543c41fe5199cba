#include <law/numeric/law_integrate.h>

#include <law/core/constant_law.h>
#include <law/numeric/search_checks.h>
#include <law/ops/arithmetic_laws.h>

namespace {
// u^n with a constant exponent n.
struct power_form {
    law *base = nullptr;
    double exponent = 0.0;
};

bool as_power(law const *l, power_form &p) {
    auto const *e = law_cast<exponent_law>(l);
    if (!e || !e->fright()->constant()) return false;
    p = {e->fleft(), e->fright()->eval(1.0)};
    return true;
}

// The value of a law known to be constant.
bool constant_value(law const *l, double &k) {
    if (!l->constant() || l->take_dim() > 1) return false;
    k = l->eval(1.0);
    return true;
}

law_ptr simplified_derivative(law const *u) {
    if (!u->has_derivative(0)) return {};
    law_ptr const d = adopt(u->derivative(0));
    return adopt(d->simplify(1, 0));
}

// u^(n+1) / ((n+1) k): the antiderivative of u^n when the rest of the integrand is u'/k.
law_ptr power_rule(power_form const &p, double k) {
    double const m = p.exponent + 1;
    if (m == 0.0 || k == 0.0) return {};
    law_ptr const coeff = make_law<constant_law>(1.0 / (m * k));
    law_ptr const m_law = make_law<constant_law>(m);
    law_ptr const power = make_law<exponent_law>(p.base, m_law.get());
    return make_law<times_law>(coeff.get(), power.get());
}

// The antiderivative of power * rest when u' / rest is constant.
law_ptr power_times(law const *power, law const *rest) {
    power_form p;
    if (!as_power(power, p)) return {};
    law_ptr const du = simplified_derivative(p.base);
    if (!du) return {};
    law_ptr const r = adopt(rest->simplify(1, 0));
    law_ptr const q = make_law<division_law>(du.get(), r.get());
    double k;
    if (!constant_value(q.get(), k)) return {};
    return power_rule(p, k);
}
}  // namespace

law *law_integrate(law const *f) {
    check_given(f, "the law to integrate");
    law_ptr g = adopt(f->simplify(1, 0));
    if (auto const *t = law_cast<times_law>(g.get())) {
        law_ptr result = power_times(t->fright(), t->fleft());
        if (!result) result = power_times(t->fleft(), t->fright());
        if (result) return result.release();
        return g.release();
    }
    power_form p;
    if (as_power(g.get(), p)) {
        law_ptr const du = simplified_derivative(p.base);
        double k;
        if (du && constant_value(du.get(), k))
            if (law_ptr result = power_rule(p, k)) return result.release();
    }
    return g.release();
}
