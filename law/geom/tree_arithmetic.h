#pragma once
// Arithmetic on law handles, so that the laws built from formulas read as the formulas:
// num(b) * sin(u) * (a - mu * cos(v)) / d. Each operator builds a new law over its operands.
#include <initializer_list>
#include <vector>

#include <law/base/vector.h>
#include <law/geom/cross_law.h>
#include <law/geom/dot_law.h>
#include <law/geom/vector_function_laws.h>
#include <law/geom/vector_law.h>
#include <law/ops/elementary_laws.h>
#include <law/ops/law_builders.h>

namespace tree {
inline law_ptr num(double v) { return build::constant(v); }
inline law_ptr input(int index) { return make_law<identity_law>(index, "XYZ"[index % 3]); }
inline law_ptr operator+(law_ptr const &a, law_ptr const &b) { return build::plus(a, b); }
inline law_ptr operator-(law_ptr const &a, law_ptr const &b) { return build::minus(a, b); }
inline law_ptr operator*(law_ptr const &a, law_ptr const &b) { return build::times(a, b); }
inline law_ptr operator/(law_ptr const &a, law_ptr const &b) { return build::divide(a, b); }
inline law_ptr operator-(law_ptr const &a) { return build::negate(a); }
inline law_ptr cos(law_ptr const &a) { return build::apply<cos_law>(a); }
inline law_ptr sin(law_ptr const &a) { return build::apply<sin_law>(a); }
inline law_ptr sqrt(law_ptr const &a) { return build::apply<sqrt_law>(a); }
inline law_ptr unit(law_ptr const &a) { return build::apply<norm_law>(a); }
inline law_ptr dot(law_ptr const &a, law_ptr const &b) {
    return make_law<dot_law>(a.get(), b.get());
}
inline law_ptr cross(law_ptr const &a, law_ptr const &b) {
    return make_law<cross_law>(a.get(), b.get());
}
inline law_ptr d(law_ptr const &a, int which) { return build::d(a.get(), which); }
inline law_ptr of(law_ptr const &outer, law_ptr const &inner) {
    return build::compose(outer, inner);
}
inline law_ptr vec(std::initializer_list<law_ptr> members) {
    std::vector<law *> raw;
    for (law_ptr const &m : members) raw.push_back(m.get());
    return make_law<vector_law>(raw.data(), static_cast<int>(raw.size()));
}
inline law_ptr vec(ZEM::vector const &v) { return make_law<vector_law>(v); }
// The inputs X, Y, Z as one position.
inline law_ptr point_input() { return vec({input(0), input(1), input(2)}); }
}  // namespace tree
