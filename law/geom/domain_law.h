#pragma once
// A law restricted to a box of inputs: member 0 is the law, members 2i+1 and 2i+2 the low and
// high bounds (laws of no input) of input i.
#include <law/core/multiple_law.h>

// The shared part of the two domain laws; they differ only in whether simplification keeps them.
class bounded_law : public multiple_law {
  public:
    bounded_law(law **subs, int n) : multiple_law(subs, n) {}

    void evaluate(double const *x, double *answer) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int in_domain(double const *x) const override;
    law *set_domain(ZEM::interval const *domains, int flag = 0) const override;

  protected:
    // The same restriction of the derivative.
    law *deriv(int which) const override;
    int return_size() const override;
    int take_size() const override;
    // Number of inputs that have a bound pair.
    int bounded_inputs() const { return fsub_num() > 0 ? (fsub_num() - 1) / 2 : 0; }
    // A new law of this class over `inner` with the bounds of `domains` (n inputs).
    law *rebound(law *inner, ZEM::interval const *domains, int n) const;
};

class domain_law : public bounded_law {
    LAW_CLASS_FACTS(domain_law, multiple_law)
  public:
    domain_law(law **subs, int n) : bounded_law(subs, n) {}
    law *make_one(law **subs, int n) const override { return new domain_law(subs, n); }
    // The law alone: "domain(A)=A".
    law *sub_simplify(int level, char const *&rule_name = NULL_REF) const override;
};

// A domain that survives simplification.
class permanent_domain_law : public bounded_law {
    LAW_CLASS_FACTS(permanent_domain_law, multiple_law)
  public:
    permanent_domain_law(law **subs, int n) : bounded_law(subs, n) {}
    law *make_one(law **subs, int n) const override { return new permanent_domain_law(subs, n); }
    int date() const override;

  protected:
    law *sub_inverse() const override;
};
