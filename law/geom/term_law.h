#pragma once
// One component of a vector law: TERM(v,k) is component k of v, counted from 1.
#include <law/core/multiple_law.h>

class term_law : public multiple_law {
    LAW_CLASS_FACTS(term_law, multiple_law)
  public:
    term_law();  // the prototype
    // Exactly two members (else LAW_TL_NUM), neither null (LAW_NULL_LAW), the second a constant
    // whole number k from 1 to INT_MAX (else LAW_TL_SYNTAX).
    term_law(law **subs, int n);
    // Component k of v, k counted from 1 as in TERM(v,k); LAW_TL_SYNTAX for k below 1.
    term_law(law *v, int k);
    law *make_one(law **subs, int n) const override { return new term_law(subs, n); }

    // The component selected, counted from 0.
    int component() const { return component_; }

    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;

  protected:
    law *deriv(int which) const override;
    int return_size() const override { return 1; }

  private:
    int component_ = 0;
};
