#pragma once
// The arc tangent: ARCTAN(u) of one law, or ARCTAN(y,x) the angle of the point (x, y) in
// (-pi, pi], chosen by a piecewise law over the quadrants.
#include <law/core/multiple_law.h>

class arctan_law : public multiple_law {
    LAW_CLASS_FACTS(arctan_law, multiple_law)
  public:
    explicit arctan_law(law *u);
    // One member u, or two members y and x.
    arctan_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new arctan_law(subs, n); }

    // The quadrant law of ARCTAN(y,x); null for one member.
    law *quadrants() const { return quadrants_.get(); }

    void evaluate(double const *x, double *answer) const override;
    LAW_COMPILED_FORMS
    ZEM::interval estimate_bounds(ZEM::interval const &domain, int &failed) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;

  protected:
    // u'/(1 + u^2), and (x y' - y x')/(x^2 + y^2) for two members.
    law *deriv(int which) const override;
    int return_size() const override { return 1; }

  private:
    law_ptr quadrants_;
};
