#pragma once
// A law restricted to a box of inputs: member 0 is the law, members 2i+1 and 2i+2 the low and
// high bounds (laws of no input) of input i.
#include "law/core/multiple_law.h"

class domain_law : public multiple_law {
    LAW_CLASS_FACTS(domain_law, multiple_law)
  public:
    domain_law(law **subs, int n) : multiple_law(subs, n) {}
    law *make_one(law **subs, int n) const override { return new domain_law(subs, n); }

    void evaluate(double const *x, double *answer) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int in_domain(double const *x) const override;
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override;

  protected:
    int return_size() const override;
    int take_size() const override;
    // Number of inputs that have a bound pair.
    int bounded_inputs() const { return (fsub_num() - 1) / 2; }
};
