#pragma once
// The largest and the smallest of scalar laws; the first member wins ties.
#include <law/core/multiple_law.h>

// The shared part: sign 1 picks the largest value, -1 the smallest.
class extremum_law : public multiple_law {
  public:
    extremum_law(law **subs, int n, int sign) : multiple_law(subs, n), sign_(sign) {}
    int commutative() const override { return 1; }
    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS
    // The members' singular points and where this law breaks (operator_breaks.cc).
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;

  protected:
    // Sum over k of f_k' times the product over j != k of SET(sign (f_k - f_j)).
    law *deriv(int which) const override;
    int return_size() const override { return 1; }

  private:
    int sign_;
};

class max_law : public extremum_law {
    LAW_CLASS_FACTS(max_law, multiple_law)
  public:
    max_law(law **subs, int n) : extremum_law(subs, n, 1) {}
    law *make_one(law **subs, int n) const override { return new max_law(subs, n); }
};

class min_law : public extremum_law {
    LAW_CLASS_FACTS(min_law, multiple_law)
  public:
    min_law(law **subs, int n) : extremum_law(subs, n, -1) {}
    law *make_one(law **subs, int n) const override { return new min_law(subs, n); }
};
