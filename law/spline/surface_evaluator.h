#pragma once
// A uniform way for the surface fitting to evaluate a surface given some other way, with its
// partial derivatives.
#include <law/base/vector.h>
#include <law/core/law.h>

class surface_evaluator {
  public:
    virtual ~surface_evaluator() = default;
    virtual ZEM::position eval(double s, double t) const = 0;
    // P, dP/ds, dP/dt and d2P/dsdt. This default differences eval one-sidedly with step 1e-4:
    // forward in a direction whose side flag is 0, backward otherwise (at the far end of a range).
    virtual void eval_derivs(double s, double t, ZEM::position &P, ZEM::vector &Ps, ZEM::vector &Pt,
                             ZEM::vector &Pst, int side_s, int side_t) const;
};

// A law of two inputs and three outputs as a surface. Its partial laws are made only when the
// option "fast_euler" is off; with it on the derivatives are differences.
class surface_evaluator_law : public surface_evaluator {
  public:
    explicit surface_evaluator_law(law *f);
    ZEM::position eval(double s, double t) const override;
    void eval_derivs(double s, double t, ZEM::position &P, ZEM::vector &Ps, ZEM::vector &Pt,
                     ZEM::vector &Pst, int side_s, int side_t) const override;

  private:
    law_ptr f_;
    law_ptr ds_, dt_, dst_;
};
