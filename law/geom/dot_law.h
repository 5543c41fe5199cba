#pragma once
// Dot product of two laws; a scalar member scales the first component of the other.
#include <law/core/multiple_law.h>

class dot_law : public multiple_law {
    LAW_CLASS_FACTS(dot_law, multiple_law)
  public:
    dot_law();  // the prototype
    // Raises LAW_NULL_LAW for a null side.
    dot_law(law *a, law *b);
    // Exactly two members.
    dot_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new dot_law(subs, n); }
    int commutative() const override { return 1; }

    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;

  protected:
    law *deriv(int which) const override;
    int return_size() const override { return 1; }
};
