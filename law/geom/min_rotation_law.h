#pragma once
// MINROT(path, v[, t0, t1]): the start vector v carried along the path from t0 to t1 with the
// least rotation about the path's tangent: at each parameter a unit vector normal to the
// tangent. With two members, t0 and t1 are the ends of the path's domain, which must be finite;
// two or four members, else LAW_MR_NUM. The path is a law of one input and three outputs, v a
// law of three outputs evaluated at 0 (else LAW_DIM); a vector with no part normal to the
// tangent, at the start or along the way, raises LAW_MR; a path whose tangent vanishes (at a
// sample, or at a cusp between two where it turns back) raises LAW_NO_TANGENT.
//
// The law keeps a table of samples at evenly spaced parameters, each carried from the one
// before by a transport step, and carries the sample at or below t to t by one more step. The
// plain step projects the vector onto the normal plane of the new tangent (a first-order
// method). The alternative evaluation (set_alt_eval) refines each step by the double
// reflection of Wang, Juettler, Zheng and Liu (2008, fourth order): a reflection in the plane
// bisecting the chord between the two path points, then one that takes the reflected tangent
// onto the new tangent. The refined vector is kept when it is within one degree of the plain
// one.
#include <vector>

#include <law/core/multiple_law.h>

class min_rotation_law : public multiple_law {
    LAW_CLASS_FACTS(min_rotation_law, multiple_law)
  public:
    min_rotation_law();  // the prototype
    // samples < 1 reads the option "min_rot_samples".
    min_rotation_law(law **laws, int n, int samples = 0);
    law *make_one(law **subs, int n) const override;

    // Switches the refined step on (nonzero) or off and rebuilds the table; not while the law
    // is being evaluated.
    void set_alt_eval(int flag);
    int alt_eval() const { return alt_; }
    int samples() const { return static_cast<int>(table_.size()); }

    void evaluate(double const *x, double *answer) const override;
    int term_domain(int which, ZEM::interval &out) const override;
    void full_size(SizeAccumulator &acc, int count_self = 1) const override;

  protected:
    // The frame turns only about the tangent T: v' = -(v . T') T, with T' the derivative of
    // the unit tangent, here with the law's own v.
    law *deriv(int which) const override;
    int return_size() const override { return 3; }
    int take_size() const override { return 1; }

  private:
    min_rotation_law(law **laws, int n, int samples, int alt);
    // The path's unit tangent at t; LAW_NO_TANGENT where the path stops.
    ZEM::vector unit_tangent(double t) const;
    // LAW_NO_TANGENT when the tangent, da at a and db at b, turns back through a point where it
    // vanishes between the two.
    void check_turn(double a, double b, ZEM::vector const &da, ZEM::vector const &db) const;
    // v at parameter t carried to parameter to.
    ZEM::vector carried(ZEM::vector const &v, double t, double to) const;
    void build_table();
    double start() const;
    double end() const;

    law_ptr tangent_;  // the path's derivative
    int requested_ = 0;
    int alt_ = 0;
    std::vector<ZEM::vector> table_;
};
