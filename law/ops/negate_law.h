#pragma once
// -A, component by component.
#include <law/core/unary_law.h>

class negate_law : public unary_law {
    LAW_CLASS_FACTS(negate_law, unary_law)
  public:
    explicit negate_law(law *sub) : unary_law(sub) {}
    law *make_one(law *sub) const override { return new negate_law(sub); }

    void evaluate(double const *x, double *y) const override;
    LAW_COMPILED_FORMS
    law_polynomial *polynomial(law *in) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;

  protected:
    law *deriv(int which) const override;
};
