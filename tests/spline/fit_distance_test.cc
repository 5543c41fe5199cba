// The distance of a fit measured densely: against a finer measure written here, and beside the
// fitting's own figures, which it never undercuts by more than their own sampling.
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include <law/spline/fit_distance.h>
#include <law/spline/law_to_sw_curve.h>
#include <law/spline/law_to_sw_surface.h>
#include <law/spline/sw_curve.h>
#include <law/spline/sw_curve_accuracy.h>
#include <law/spline/sw_surface.h>

#include "fitting_set.h"
#include "law_test.h"

namespace {

class FitDistance : public LawTest {};

// 64 parameters in every span and 50,000 over the range.
double finer_distance(law const *f, sw_curve const &c) {
    std::vector<double> ts;
    double const *k = c.get_knot_vector();
    for (int i = c.get_degree(); i < c.get_K(); ++i)
        for (int j = 0; k[i + 1] > k[i] && j <= 64; ++j)
            ts.push_back(k[i] + (k[i + 1] - k[i]) * j / 64);
    for (int i = 0; i <= 50000; ++i)
        ts.push_back(c.get_min_t() + (c.get_max_t() - c.get_min_t()) * i / 50000);
    double worst = 0;
    for (double t : ts) {
        ZEM::position p;
        c.eval(t, &p);
        worst = std::max(worst, (p - f->evaluateR_P(t)).len());
    }
    return worst;
}

TEST_F(FitDistance, CurvesOfTheFittingSet) {
    for (auto const &fc : fitting_set_laws::fitting_set()) {
        law_ptr const f = fc.make();
        for (double tol : {1e-2, 1e-5}) {
            std::unique_ptr<sw_curve> const c(
                law_to_sw_curve(f.get(), ZEM::interval(fc.a, fc.b), tol));
            fit_distance const d = sw_curve_distance(f.get(), *c);
            double const finer = finer_distance(f.get(), *c);
            EXPECT_LE(d.distance, finer * (1 + 1e-9) + 1e-15) << fc.name << " " << tol;
            EXPECT_GE(d.distance, 0.9 * finer) << fc.name << " " << tol;
            EXPECT_GE(d.distance, 0.9 * sw_curve_accuracy(f.get(), c.get())) << fc.name;
            EXPECT_GT(d.samples, 8192) << fc.name;
        }
    }
}

// A surface bent along a line between its knots: the fitting's own figure misses the bend.
TEST_F(FitDistance, SurfaceBentBetweenItsKnots) {
    law_ptr const f = fitting_set_laws::read("VEC(X,Y,ABS(X-0.3)*Y)");
    double achieved = 0;
    std::unique_ptr<sw_surface> const S(
        law_to_sw_surface(f.get(), ZEM::interval(0, 1), ZEM::interval(0, 1), 1e-3, achieved));
    fit_distance const d = sw_surface_distance(f.get(), *S);
    // Where the bend lies inside a patch the spline is smooth and the law is not: the distance
    // there is set by how far the bend is from the patch's edges.
    double finer = 0;
    for (int i = 0; i <= 400; ++i)
        for (int j = 0; j <= 40; ++j) {
            double const st[2] = {i / 400.0, j / 40.0};
            ZEM::position P;
            S->eval(st[0], st[1], &P);
            double v[3];
            f->evaluate(st, v);
            finer = std::max(finer, (P - ZEM::position(v[0], v[1], v[2])).len());
        }
    EXPECT_GT(d.distance, 1000 * achieved);
    EXPECT_LE(d.distance, finer * (1 + 1e-9));
    EXPECT_GE(d.distance, 0.5 * finer);
    law_ptr const curve = fitting_set_laws::read("VEC(X,X,X)");
    EXPECT_LAW_ERROR(sw_surface_distance(curve.get(), *S), LAW_DIM);
}

}  // namespace
