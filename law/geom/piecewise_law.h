#pragma once
// Laws chosen by conditions: PIECEWISE(c1,v1,c2,v2,...[,otherwise]).
#include <law/core/multiple_law.h>

class piecewise_law : public multiple_law {
    LAW_CLASS_FACTS(piecewise_law, multiple_law)
  public:
    piecewise_law(law **subs, int n) : multiple_law(subs, n) {}
    law *make_one(law **subs, int n) const override { return new piecewise_law(subs, n); }

    // The value after the first condition that is not 0; else the last member.
    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS

  protected:
    // The same conditions over the derivatives of the values.
    law *deriv(int which) const override;
    // The widest value.
    int return_size() const override;

  private:
    law const *chosen(double const *x) const;
};
