#include <law/spline/surface_evaluator.h>

#include <law/base/options.h>
#include <law/lang/str_to_law.h>

#include <cmath>

#include "law_test.h"

namespace {
class SurfaceEvaluator : public LawTest {};

// f = (s t^2, sin s, e^t) and its partials written out.
ZEM::vector f_s(double s, double t) { return {t * t, std::cos(s), 0}; }
ZEM::vector f_t(double s, double t) { return {2 * s * t, 0, std::exp(t)}; }
ZEM::vector f_st(double, double t) { return {2 * t, 0, 0}; }
}  // namespace

TEST_F(SurfaceEvaluator, PartialsFromLawsOrFromOneSidedDifferences) {
    law_ptr const f = adopt(str_to_law("VEC(X*Y*Y,SIN(X),EXP(Y))"));
    for (int fast : {1, 0}) {
        set_option("fast_euler", fast);
        surface_evaluator_law const e(f.get());
        set_option("fast_euler", 1);
        for (int side_s : {0, 1})
            for (int side_t : {0, 1}) {
                double const s = 0.7, t = -0.4;
                ZEM::position P;
                ZEM::vector Ps, Pt, Pst;
                e.eval_derivs(s, t, P, Ps, Pt, Pst, side_s, side_t);
                EXPECT_LT((P - ZEM::position(s * t * t, std::sin(s), std::exp(t))).len(), 1e-15);
                // A one-sided difference errs by about half the step times the second derivative.
                double const tol = fast ? 2e-4 : 1e-14;
                EXPECT_LT((Ps - f_s(s, t)).len(), tol);
                EXPECT_LT((Pt - f_t(s, t)).len(), tol);
                EXPECT_LT((Pst - f_st(s, t)).len(), tol);
                if (fast) {
                    // The side decides the direction: the error's sign follows it.
                    double const sign = side_s ? 1 : -1;
                    EXPECT_GT(sign * (Ps.y() - std::cos(s)), 0);
                }
            }
    }
}
