// The distance of a fit measured densely: against a finer measure written here, and beside the
// fitting's own figures, which it never undercuts by more than their own sampling.
#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>
#include <utility>
#include <vector>

#include <law/spline/fit_distance.h>
#include <law/spline/law_to_sw_curve.h>
#include <law/spline/law_to_sw_curve_in_pieces.h>
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

namespace {

// t -> (t, g(t), 0) for a g with kinks at known places, reported as singular points or not.
class kinked_curve : public law {
  public:
    kinked_curve(double (*g)(double), std::vector<double> kinks, bool reported)
        : g_(g), kinks_(std::move(kinks)), reported_(reported) {}
    char const *class_name() const override { return "kinked_curve"; }
    void evaluate(double const *x, double *y) const override {
        y[0] = x[0];
        y[1] = g_(x[0]);
        y[2] = 0;
    }
    int singularities(double **where, int **type, double, double, double **period) const override {
        if (period) *period = nullptr;
        if (!reported_) return law::singularities(where, type, 0, 0);
        int const n = static_cast<int>(kinks_.size());
        *where = VORN_ARRAY(double, n);
        *type = VORN_ARRAY(int, n);
        for (int i = 0; i < n; ++i) {
            (*where)[i] = kinks_[static_cast<std::size_t>(i)];
            (*type)[i] = 1;
        }
        return n;
    }

  protected:
    int take_size() const override { return 1; }
    int return_size() const override { return 3; }
    law *deriv(int) const override { return nullptr; }

  private:
    double (*g_)(double);
    std::vector<double> kinks_;
    bool reported_;
};

double vee(double t) { return std::fabs(t - 0.3) + t * t / 4; }
double two_kinks(double t) { return std::fabs(t - 0.3) - 2 * std::fabs(t + 0.45) + std::sin(t); }
double rectified_sine(double t) { return std::fabs(std::sin(4 * t)); }

int multiplicity(sw_curve const &c, double t) {
    double const *k = c.get_knot_vector();
    return static_cast<int>(std::count(k, k + c.get_num_knots(), t));
}

}  // namespace

// law_to_sw_curve keeps a reported kink as a knot but takes the tangents beside it across it, so
// that the segments there are halved to the tolerance; piece by piece a kink costs nothing.
TEST_F(FitDistance, KinksReportedAreFittedPieceByPiece) {
    double const quarter = std::numbers::pi / 4;
    struct {
        char const *name;
        double (*g)(double);
        std::vector<double> kinks;
        double tol;
        int most;  // control points
    } const cases[] = {
        {"a kink", vee, {0.3}, 1e-9, 8},
        {"two kinks", two_kinks, {-0.45, 0.3}, 1e-8, 200},
        {"rectified sine", rectified_sine, {-quarter, 0, quarter}, 1e-8, 400},
    };
    for (auto const &c : cases) {
        law_ptr const reported = make_law<kinked_curve>(c.g, c.kinks, true);
        std::unique_ptr<sw_curve> const pieces(
            law_to_sw_curve_in_pieces(reported.get(), ZEM::interval(-1, 1), c.tol));
        EXPECT_LE(pieces->get_K(), c.most) << c.name;
        EXPECT_LE(sw_curve_distance(reported.get(), *pieces).distance, c.tol) << c.name;
        for (double k : c.kinks) EXPECT_EQ(multiplicity(*pieces, k), 3) << c.name << " " << k;
        EXPECT_DOUBLE_EQ(pieces->get_min_t(), -1);
        EXPECT_DOUBLE_EQ(pieces->get_max_t(), 1);
        // The whole range at once, at a hundred times the tolerance, takes ten times the points.
        std::unique_ptr<sw_curve> const whole(
            law_to_sw_curve(reported.get(), ZEM::interval(-1, 1), 100 * c.tol));
        EXPECT_GT(whole->get_K(), 10 * pieces->get_K()) << c.name;
    }
    // No singular point inside: the same curve as law_to_sw_curve.
    law_ptr const silent = make_law<kinked_curve>(vee, std::vector<double>{0.3}, false);
    std::unique_ptr<sw_curve> const a(law_to_sw_curve_in_pieces(silent.get(), {-1, 1}, 1e-4));
    std::unique_ptr<sw_curve> const b(law_to_sw_curve(silent.get(), {-1, 1}, 1e-4));
    ASSERT_EQ(a->get_K(), b->get_K());
    EXPECT_TRUE(std::equal(a->get_knot_vector(), a->get_knot_vector() + a->get_num_knots(),
                           b->get_knot_vector()));
    EXPECT_LAW_ERROR(law_to_sw_curve_in_pieces(silent.get(), {1, -1}, 1e-4), LAW_BAD_BOUNDS);
}

// Where the law jumps, each piece ends on its own side's limit, not on the value the law takes
// at the jump (the other side's): a parabola in each piece is one span, whatever the derivatives,
// and the join lies halfway between the two limits.
TEST_F(FitDistance, PiecesEndOnTheirOwnSideOfAJump) {
    law_ptr const stairs = adopt(str_to_law("VEC(X,FLOOR(X)+X^2,0)"));
    for (int fast_euler : {0, 1}) {
        ASSERT_TRUE(set_option("fast_euler", fast_euler));
        std::unique_ptr<sw_curve> const c(
            law_to_sw_curve_in_pieces(stairs.get(), ZEM::interval(0, 2.5), 1e-6));
        EXPECT_LE(c->get_K(), 12) << fast_euler;
        for (double jump : {1.0, 2.0}) {
            ZEM::position p;
            c->eval(jump, &p);
            double const below = jump - 1 + jump * jump, above = jump + jump * jump;
            EXPECT_NEAR(p.y(), (below + above) / 2, 1e-9) << jump << " " << fast_euler;
        }
    }
    set_option("fast_euler", 1);
}
