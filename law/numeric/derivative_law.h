#pragma once
// A numerical derivative as a law: D(f,v,n) is the n-th derivative of f in the variable v.
#include <law/core/multiple_law.h>

class derivative_law : public multiple_law {
    LAW_CLASS_FACTS(derivative_law, multiple_law)
  public:
    // The order-th derivative of f in input `which` (orders 0 ... max_order).
    derivative_law(law const *f, int which, int order = 1);
    // f, the variable (an identity law), and optionally the order (a law, read at 1).
    derivative_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new derivative_law(subs, n); }

    static constexpr int max_order = 16;
    int variable() const { return which_; }
    int order() const { return order_; }

    void evaluate(double const *x, double *answer) const override;
    // A side of 1 differentiates from above, -1 from below, anything else as evaluate.
    void evaluate_with_side(double const *x, double *answer, int const *side) const override;

  protected:
    law *deriv(int which) const override;

  private:
    void differentiate(double const *x, double *answer, int sided) const;

    int which_ = 0;
    int order_ = 1;
    // Domain of f in its first input, for stencils that must not leave it.
    double low_;
    double high_;
};
