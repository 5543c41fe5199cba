#pragma once
// The value of a law wrapped into one period: fmod(fmod(v, P) + P, P), so that a positive
// period P maps every value into [0, P).
#include <law/core/law.h>

class shift_law : public law {
    LAW_IDENTITY(shift_law, law)
  public:
    // The period law is evaluated at 1. The caller keeps its own references.
    shift_law(law *f, law *period);

    law *wrapped() const { return f_; }
    law *period() const { return p_; }

    // Raises LAW_ZERODIVIDE for a zero period.
    void evaluate(double const *x, double *answer) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;

  protected:
    ~shift_law() override;
    // The wrapped law's derivative: the wrap only adds steps.
    law *deriv(int which) const override;
    int take_size() const override { return f_ ? f_->take_dim() : 1; }
    int return_size() const override { return f_ ? f_->return_dim() : 1; }

  private:
    law *f_;
    law *p_;
};
