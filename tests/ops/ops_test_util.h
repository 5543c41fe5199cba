#pragma once
// Helpers shared by the operator and function tests.
#include <cmath>
#include <string>
#include <vector>

#include <law/geom/vector_law.h>
#include <law/ops/law_builders.h>
#include <law/ops/ops.h>

#include "law_test.h"

using build::apply;

// A law of class T over a.
template <class T>
law_ptr fn(law_ptr const &a) {
    return apply<T>(a);
}

// VEC(parts...).
inline law_ptr vec(std::initializer_list<law_ptr> parts) {
    std::vector<law *> raw;
    for (law_ptr const &p : parts) raw.push_back(p.get());
    return make_law<vector_law>(raw.data(), static_cast<int>(raw.size()));
}

// The printed text of a law.
inline std::string text(law_ptr const &l) { return l->text(); }

// Central difference of a scalar law of one input at x.
inline double numeric_slope(law const *f, double x) {
    double const h = 1e-5 * std::max(1.0, std::fabs(x));
    return (f->eval(x + h) - f->eval(x - h)) / (2 * h);
}

// Counts its evaluations; returns its input plus a fixed offset.
class counting_law : public law {
  public:
    explicit counting_law(double offset = 0) : offset_(offset) {}
    char const *class_name() const override { return "counting_law"; }
    void evaluate(double const *x, double *y) const override {
        ++calls;
        y[0] = x[0] + offset_;
    }
    mutable int calls = 0;

  private:
    double offset_;
};
