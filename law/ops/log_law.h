#pragma once
// Logarithm to a constant base: LOG(a,b) is ln(a)/ln(b); LOG(a) is to base 10.
#include <law/core/multiple_law.h>

class log_law : public multiple_law {
    LAW_CLASS_FACTS(log_law, multiple_law)
  public:
    // One or two members, the second a constant law (else LAW_BASE_C), neither null
    // (LAW_NULL_LAW); a null array gives an empty law, whose evaluation raises LAW_NULL_LAW.
    log_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new log_law(subs, n); }

    // Raises LAW_BASE_P for a base <= 0 or 1, LAW_LOG for an argument <= 0.
    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS
    int in_domain(double const *x) const override;
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;
    // The members' singular points and where this law breaks (operator_breaks.cc).
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;

  protected:
    // a' / (a ln b).
    law *deriv(int which) const override;
    int return_size() const override { return 1; }

  private:
    double base() const;
    // The natural log of a constant base, which the tape and plain code read once: false where
    // evaluate must decide (a base that is no constant, or one that raises).
    bool constant_ln_base(double &ln_base) const;
};

// The remainder a - floor(a/b) b, which takes the sign of b: MOD(-1,3) = 2.
class mod_law : public multiple_law {
    LAW_CLASS_FACTS(mod_law, multiple_law)
  public:
    mod_law();  // the prototype
    // Raises LAW_NULL_LAW for a null member.
    mod_law(law *a, law *b);
    // Exactly two members (else LAW_SYNTAX).
    mod_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new mod_law(subs, n); }

    // Raises LAW_ZERODIVIDE for a zero divisor.
    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS
    // The members' singular points and where this law breaks (operator_breaks.cc).
    int singularities(double **where, int **type, double start, double end,
                      double **period = nullptr) const override;

  protected:
    // The constant 0.
    law *deriv(int which) const override;
    int return_size() const override { return 1; }
};
