#include <law/ops/law_multiple.h>

#include <memory>

#include <law/core/law_polynomial.h>
#include <law/ops/rule_support.h>

namespace {

// The B of a factor B^(-1), or null.
law *reciprocal_base(law const *l) {
    auto const *p = law_cast<exponent_law>(l);
    return p && rules::is_constant_value(p->fright(), -1) ? p->fleft() : nullptr;
}

// The two sides of a quotient form, or false when l is none.
bool quotient_sides(law const *l, law *&n, law *&d) {
    if (auto const *q = law_cast<division_law>(l)) {
        n = q->fleft();
        d = q->fright();
        return true;
    }
    if (auto const *t = law_cast<times_law>(l)) {
        if (law *b = reciprocal_base(t->fright())) {
            n = t->fleft();
            d = b;
            return true;
        }
    }
    return false;
}

}  // namespace

law *numerator(law const *l) {
    law *n = nullptr, *d = nullptr;
    law const *result = quotient_sides(l, n, d) ? n : l;
    result->add();
    return const_cast<law *>(result);
}

law *denominator(law const *l) {
    law *n = nullptr, *d = nullptr;
    if (quotient_sides(l, n, d)) {
        d->add();
        return d;
    }
    return build::constant(1).release();
}

double law_multiple(law const *a, law const *b) {
    std::unique_ptr<law_polynomial> const pa(a->polynomial(nullptr));
    std::unique_ptr<law_polynomial> const pb(b->polynomial(nullptr));
    if (!pa || !pb || pa->degree() < 0 || pb->degree() < 0) return 0;
    return polynomial_multiple(*pa, *pb);
}
