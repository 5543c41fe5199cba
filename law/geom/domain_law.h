#pragma once
// A law restricted to a box of inputs: member 0 is the law, members 2i+1 and 2i+2 the low and
// high bounds (laws of no input) of input i. The constructors keep their members without checks;
// evaluation raises LAW_NULL_LAW for a law with a null member or none, and LAW_BAD_DOMAN when a
// low bound lies above its high bound (DOMAIN(X,1,0)), whose domain is empty.
#include <atomic>
#include <cstdint>

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

  private:
    // The value of bound member i.
    double bound(int i) const;
    // LAW_BAD_DOMAN unless every low bound is at most its high bound; told once.
    void check_bounds() const;

    enum : std::uint8_t { bounds_unknown, bounds_ordered, bounds_inverted };
    mutable std::atomic<std::uint8_t> bounds_state_{bounds_unknown};
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
