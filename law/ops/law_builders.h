#pragma once
// Short builders of law trees, used where derivatives and rewrites spell out a formula. Each
// returns a new law held by a law_ptr; the operands keep their own references.
#include <law/core/constant_law.h>
#include <law/ops/arithmetic_laws.h>
#include <law/ops/composite_law.h>
#include <law/ops/negate_law.h>

namespace build {
inline law_ptr constant(double v) { return make_law<constant_law>(v); }
inline law_ptr plus(law_ptr const &a, law_ptr const &b) {
    return make_law<plus_law>(a.get(), b.get());
}
inline law_ptr minus(law_ptr const &a, law_ptr const &b) {
    return make_law<minus_law>(a.get(), b.get());
}
inline law_ptr times(law_ptr const &a, law_ptr const &b) {
    return make_law<times_law>(a.get(), b.get());
}
inline law_ptr divide(law_ptr const &a, law_ptr const &b) {
    return make_law<division_law>(a.get(), b.get());
}
inline law_ptr power(law_ptr const &a, law_ptr const &b) {
    return make_law<exponent_law>(a.get(), b.get());
}
inline law_ptr compose(law_ptr const &outer, law_ptr const &inner) {
    return make_law<composite_law>(outer.get(), inner.get());
}
inline law_ptr negate(law_ptr const &a) { return make_law<negate_law>(a.get()); }
// A law of class T over a.
template <class T>
law_ptr apply(law_ptr const &a) {
    return make_law<T>(a.get());
}
// VEC(members) and its component TERM(v, k), k counted from 1. Their classes live with the
// structural laws in the layer above, so these build them through the parser's registry.
law_ptr vector(law **members, int n);
law_ptr component(law_ptr const &v, int k);
// The derivative of a with respect to input `which`; a missing law has none.
inline law_ptr d(law const *a, int which) {
    if (!a) law_error(LAW_DERIV);
    return adopt(a->derivative(which));
}
}  // namespace build
