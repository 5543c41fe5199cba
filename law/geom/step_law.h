#pragma once
// Laws joined at steps of the first input: STEP(f0,s1,f1,s2,...,fn) is f_i from s_i on.
#include <law/core/multiple_law.h>

class step_law : public multiple_law {
    LAW_CLASS_FACTS(step_law, multiple_law)
  public:
    // An odd number of members; the steps are constant laws in non-decreasing order.
    step_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new step_law(subs, n); }

    void evaluate(double const *x, double *answer) const override;
    // The union of the domains of the laws.
    int term_domain(int which, ZEM::interval &out) const override;
    // The laws' singular points and the steps, where the value jumps.
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;

  protected:
    // The same steps between the derivatives of the laws.
    law *deriv(int which) const override;
    int take_size() const override;
    // The widest law.
    int return_size() const override;
};
