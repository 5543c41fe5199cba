#pragma once
// CYCLIDE_PERP(a, c, mu[, P]): the parameters (u, v) of the foot of the perpendicular from the
// point P (a law of three outputs; the inputs X, Y, Z when not given) to the cyclide
// CYCLIDE(a, c, mu): the nearest point of the surface, found from a grid of parameters by
// damped Gauss-Newton steps. Three or four members, else LAW_MR_NUM; a, c and mu as for the
// cyclide.
#include <law/base/par_pos.h>
#include <law/core/multiple_law.h>

class cyclide_perp_law : public multiple_law {
    LAW_CLASS_FACTS(cyclide_perp_law, multiple_law)
  public:
    cyclide_perp_law();  // the prototype
    cyclide_perp_law(law **subs, int n);
    law *make_one(law **subs, int n) const override { return new cyclide_perp_law(subs, n); }

    // The parameters of the foot from the point that the inputs x give.
    ZEM::par_pos get_m(double const *x) const;
    // The foot itself.
    ZEM::position point_on_cyclide(double const *x) const;

    void evaluate(double const *x, double *answer) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;

  protected:
    // Numerical (derivative_law).
    law *deriv(int which) const override;
    int take_size() const override;
    int return_size() const override { return 2; }

  private:
    ZEM::par_pos foot(ZEM::position const &p) const;
    ZEM::position point_of(double const *x) const;

    law_ptr surface_, partials_;  // of (u, v): the point, and dP/du with dP/dv
};
