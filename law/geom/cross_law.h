#pragma once
// Cross product of two vector laws of three components. A side of one value stands for the zero
// vector, as evaluateM_V reads it, and must be 0 (the derivative of a constant vector).
#include <law/core/multiple_law.h>

class cross_law : public multiple_law {
    LAW_CLASS_FACTS(cross_law, multiple_law)
  public:
    cross_law();  // the prototype
    // Raises LAW_NULL_LAW for a null side and LAW_DIM for a scalar side other than 0.
    cross_law(law *a, law *b);
    // Exactly two members (else LAW_CROSS_NUM), as above.
    cross_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new cross_law(subs, n); }

    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;

  protected:
    law *deriv(int which) const override;
    int return_size() const override { return 3; }
};
