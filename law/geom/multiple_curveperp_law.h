#pragma once
// MULTI_CURVEPERP(C1, ..., Cn[, s0]): at a point (X, Y, Z), the global parameter of the foot of
// the perpendicular from the point to the chain MULTI_CUR(C1, ..., Cn[, s0]), the nearest such
// foot over all segments. It takes the members of the chain, with the chain's rules.
#include <law/core/multiple_law.h>

class multiple_curve_law;

class multiple_curveperp_law : public multiple_law {
    LAW_CLASS_FACTS(multiple_curveperp_law, multiple_law)
  public:
    multiple_curveperp_law();  // the prototype
    multiple_curveperp_law(law **segments, int n);
    law *make_one(law **subs, int n) const override { return new multiple_curveperp_law(subs, n); }
    // The chain it measures from (no new reference).
    multiple_curve_law const *get_mc_law() const;

    void evaluate(double const *x, double *answer) const override;
    char *string(law_symbol_type type = law_symbol_default, int &count = NULL_REF,
                 law_data_node *&list = NULL_REF) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    int in_domain(double const *) const override { return 1; }
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;

  protected:
    // Numerical (derivative_law): the foot moves with the point in no closed form.
    law *deriv(int which) const override;
    int take_size() const override { return 3; }
    int return_size() const override { return 1; }

  private:
    explicit multiple_curveperp_law(law_ptr chain);

    law_ptr chain_, tangent_, bend_;  // the chain and its first two derivatives
};
