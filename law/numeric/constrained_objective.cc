#include <law/numeric/constrained_objective.h>

#include <cfloat>

#include <law/core/law.h>
#include <law/numeric/search_checks.h>

double scalar_at(law const *l, double const *x) {
    double y;
    l->evaluate(x, &y);
    return y;
}

double scalar_at(law const *l, complex_number p) {
    double const x[2] = {p.re, p.im};
    return scalar_at(l, x);
}

void check_point_law(law const *l, int coordinates) {
    if (l && (l->return_dim() != 1 || l->take_dim() > coordinates)) law_error(LAW_EVALV);
}

constrained_objective::constrained_objective(law const *f, law const *constraint, int coordinates)
    : f_(f), constraint_(constraint) {
    check_given(f, "the law to minimise");
    check_point_law(f, coordinates);
    check_point_law(constraint, coordinates);
}

bool constrained_objective::allowed(double const *x) const {
    return !constraint_ || scalar_at(constraint_, x) > 0;
}

double constrained_objective::operator()(double const *x) {
    if (!allowed(x)) return DBL_MAX;
    ++evaluations_;
    return scalar_at(f_, x);
}
