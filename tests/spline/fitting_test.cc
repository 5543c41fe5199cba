// Fitting laws by splines: the achieved distance, measured on a dense sample of the law that the
// fitting never saw, stays within the tolerance for every strategy, and the structure of the
// result is what the assembly promises.
#include <algorithm>
#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "fitting_set.h"
#include "law_test.h"

namespace {

law_ptr parse(char const *text) {
    law_ptr l = adopt(str_to_law(text));
    EXPECT_TRUE(l) << text << ": " << TEST_get_error();
    return l;
}

using fitting_set_laws::fitting_set;
using fitting_set_laws::kinked_law;

// The largest distance between curve and law on 4000 parameters of a fixed random sample, the
// ends and both sides of every knot.
double dense_distance(law const *f, sw_curve const &c) {
    std::mt19937 rng(7);
    double const a = c.get_min_t(), b = c.get_max_t();
    std::uniform_real_distribution<double> u(a, b);
    std::vector<double> ts = {a, b};
    for (int i = 0; i < 4000; ++i) ts.push_back(u(rng));
    double const *k = c.get_knot_vector();
    for (int i = 0; i < c.get_num_knots(); ++i) {
        for (double d : {-1e-4, 1e-4}) {
            if (k[i] + d > a && k[i] + d < b) ts.push_back(k[i] + d);
        }
    }
    double worst = 0;
    for (double t : ts) {
        ZEM::position p;
        c.eval(t, &p);
        worst = std::fmax(worst, (p - f->evaluateR_P(t)).len());
    }
    return worst;
}

}  // namespace

class Fitting : public LawTest {};

TEST_F(Fitting, EveryLawOfTheSetIsWithinToleranceForEveryStrategy) {
    for (auto const &fc : fitting_set()) {
        law_ptr const f = fc.make();
        for (double tol : {1e-3, 1e-5, 1e-7}) {
            for (int s = 0; s < 3; ++s) {
                std::unique_ptr<sw_curve> const c(
                    law_to_sw_curve(f.get(), ZEM::interval(fc.a, fc.b), tol,
                                    static_cast<knot_removal_strategy>(s)));
                double const dense = dense_distance(f.get(), *c);
                EXPECT_LE(dense, tol) << fc.name << " tol " << tol << " strategy " << s;
                EXPECT_LE(sw_curve_accuracy(f.get(), c.get()), tol) << fc.name;
                EXPECT_DOUBLE_EQ(c->get_min_t(), fc.a);
                EXPECT_DOUBLE_EQ(c->get_max_t(), fc.b);
            }
        }
    }
}

namespace {

// Interior knots that appear twice.
int interior_double_knots(sw_curve const &c) {
    double const *k = c.get_knot_vector();
    int n = 0;
    for (int i = 4; i + 1 < c.get_K(); ++i) n += k[i] == k[i + 1];
    return n;
}

}  // namespace

TEST_F(Fitting, AssemblyGivesTheKnotsAndSegmentsItPromises) {
    // A straight line: one Bezier segment, knots t0 and t1 four times each.
    law_ptr const line = parse("VEC(1+2*X, 3-X, 0.5*X)");
    std::unique_ptr<sw_curve> const c(
        law_to_sw_curve(line.get(), ZEM::interval(-1, 2), 1e-6, keep_all_knots));
    ASSERT_EQ(c->get_K(), 4);
    EXPECT_EQ(std::vector<double>(c->get_knot_vector(), c->get_knot_vector() + 8),
              (std::vector<double>{-1, -1, -1, -1, 2, 2, 2, 2}));
    EXPECT_EQ(c->get_degree(), 3);
    EXPECT_EQ(c->get_polynomial(), 1);
    // The control points of a line at uniform speed lie at thirds.
    for (int i = 0; i < 4; ++i) {
        double p[3];
        c->get_control_point(i, p);
        double const t = -1 + i;
        EXPECT_NEAR(p[0], 1 + 2 * t, 1e-9);
        EXPECT_NEAR(p[1], 3 - t, 1e-9);
    }

    // Keeping every knot leaves every interior breakpoint double; removing all leaves none
    // double, except at a singular point, which stays a breakpoint for every strategy. Fitted in
    // pieces, the two sides of a tangent break meet at a corner, a knot of multiplicity 3.
    law_ptr const helix = parse("VEC(COS(X), SIN(X), 0.2*X)");
    std::unique_ptr<sw_curve> const keep(
        law_to_sw_curve(helix.get(), ZEM::interval(0, 7), 1e-6, keep_all_knots));
    std::unique_ptr<sw_curve> const none(
        law_to_sw_curve(helix.get(), ZEM::interval(0, 7), 1e-6, remove_all_knots));
    EXPECT_EQ(2 * interior_double_knots(*keep), keep->get_num_knots() - 8);
    EXPECT_EQ(interior_double_knots(*none), 0);
    EXPECT_LT(none->get_K(), keep->get_K());
    law_ptr const kink = adopt<law>(new kinked_law);
    auto count_at_kink = [](sw_curve const &c) {
        return std::count(c.get_knot_vector(), c.get_knot_vector() + c.get_num_knots(), 0.3);
    };
    for (int s = 0; s < 3; ++s) {
        auto const strategy = static_cast<knot_removal_strategy>(s);
        std::unique_ptr<sw_curve> const k(
            law_to_sw_curve(kink.get(), ZEM::interval(-0.5, 1), 1e-5, strategy));
        EXPECT_EQ(count_at_kink(*k), 2) << s;
        if (s == remove_all_knots) {
            EXPECT_EQ(interior_double_knots(*k), 1);
        }
        std::unique_ptr<sw_curve> const corner(
            law_to_sw_curve_in_pieces(kink.get(), ZEM::interval(-0.5, 1), 1e-5, strategy));
        EXPECT_EQ(count_at_kink(*corner), 3) << s;
        EXPECT_LT(dense_distance(kink.get(), *corner), 1e-5) << s;
        // Both sides keep their own slope: (1, -1 + 0.4 t) before, (1, 1 + 0.4 t) after.
        ZEM::vector before, after;
        corner->eval(0.3 - 1e-9, nullptr, &before);
        corner->eval(0.3 + 1e-9, nullptr, &after);
        EXPECT_NEAR(before.y() / before.x(), -1 + 0.12, 1e-4) << s;
        EXPECT_NEAR(after.y() / after.x(), 1 + 0.12, 1e-4) << s;
        // A corner costs a few control points, not a flood of short segments.
        EXPECT_LT(corner->get_K(), 40) << s;
        EXPECT_LT(corner->get_K(), k->get_K()) << s;
    }
    bezier_breakpoint_list list;
    int const segments = create_bezier_segments(kink.get(), -0.5, 1, 1e-5, list);
    int nodes = 0;
    int at_kink = 0;
    for (bezier_breakpoint const *b = list.head(); b; b = b->next, ++nodes) at_kink += b->t == 0.3;
    EXPECT_EQ(at_kink, 1);
    EXPECT_EQ(segments, nodes - 1);
}

TEST_F(Fitting, ACubicIsOneSpanWithEitherTangents) {
    // A cubic curve is its own Hermite segment: exact tangents, and the difference rules, which
    // are exact for cubics, give it one span at any tolerance and strategy.
    law_ptr const cubic = parse("VEC(X, X^2-3*X, 2*X^3-X+1)");
    for (int euler : {0, 1}) {
        ASSERT_TRUE(set_option("fast_euler", euler));
        for (int s = 0; s < 3; ++s) {
            std::unique_ptr<sw_curve> const c(law_to_sw_curve(
                cubic.get(), ZEM::interval(-2, 3), 1e-10, static_cast<knot_removal_strategy>(s)));
            EXPECT_EQ(c->get_K(), 4) << euler << " " << s;
            EXPECT_LT(dense_distance(cubic.get(), *c), 1e-10) << euler << " " << s;
        }
    }
    set_option("fast_euler", 1);
}

TEST_F(Fitting, BestDerivativesAreExactWhereTheLawHasThem) {
    auto fit = [](law *f, double a, double b) {
        return [f, a, b] { delete law_to_sw_curve(f, ZEM::interval(a, b), 1e-6); };
    };
    law_ptr const helix = parse("VEC(COS(X), SIN(X), X)");
    law_ptr const kink = adopt<law>(new kinked_law);   // no derivative law
    law_ptr const root = parse("VEC(X, SQRT(X), 0)");  // an infinite slope at 0
    law_ptr const raising = parse("VEC(X, SQRT(X-0.5), 0)");
    ASSERT_EQ(get_option("fast_euler"), 1);
    EXPECT_TRUE(fit_with_best_derivatives(fit(helix.get(), 0, 3)));
    EXPECT_FALSE(fit_with_best_derivatives(fit(kink.get(), -0.5, 1)));
    EXPECT_FALSE(fit_with_best_derivatives(fit(root.get(), 0, 1)));
    EXPECT_LAW_ERROR(fit_with_best_derivatives(fit(raising.get(), 0, 1)), LAW_SQRT);
    EXPECT_EQ(get_option("fast_euler"), 1);
    set_option("fast_euler", 0);
    EXPECT_FALSE(fit_with_best_derivatives(fit(kink.get(), -0.5, 1)));
    EXPECT_EQ(get_option("fast_euler"), 0);
    set_option("fast_euler", 1);
}

TEST_F(Fitting, SymbolicTangentsWhenFastEulerIsOff) {
    ASSERT_TRUE(set_option("fast_euler", 0));
    law_ptr const helix = parse("VEC(COS(X), SIN(X), 0.2*X)");
    std::unique_ptr<sw_curve> c;
    EXPECT_NO_THROW(c.reset(law_to_sw_curve(helix.get(), ZEM::interval(0, 7), 1e-6)));
    set_option("fast_euler", 1);
    ASSERT_TRUE(c);
    EXPECT_LE(dense_distance(helix.get(), *c), 1e-6);
    // Symbolic and difference tangents agree: the end control points lie along the end tangent.
    double p0[3], p1[3];
    c->get_control_point(0, p0);
    c->get_control_point(1, p1);
    EXPECT_NEAR(p1[0] - p0[0], 0, 1e-12);  // d/dt cos t = 0 at 0
}

TEST_F(Fitting, IdentityCurveIsXEqualsT) {
    std::unique_ptr<sw_curve> const c(make_identity_sw_curve(7, 3));
    EXPECT_EQ(c->get_min_t(), 0);
    EXPECT_EQ(c->get_max_t(), 4);
    EXPECT_EQ(c->get_planar(), 1);
    EXPECT_EQ(std::vector<double>(c->get_knot_vector(), c->get_knot_vector() + 11),
              (std::vector<double>{0, 0, 0, 0, 1, 2, 3, 4, 4, 4, 4}));
    for (double t : {0.0, 0.37, 1.0, 2.5, 3.99, 4.0}) {
        ZEM::position p;
        ZEM::vector d1, d2;
        c->eval(t, &p, &d1, &d2);
        EXPECT_NEAR(p.x(), t, 1e-13);
        EXPECT_NEAR(d1.x(), 1, 1e-12);
        EXPECT_NEAR(d2.x(), 0, 1e-11);
    }
    EXPECT_LAW_ERROR(make_identity_sw_curve(3, 3), SW_BAD_ORDER);
}

namespace {

// Reports singular points out of order.
class badly_singular_law : public kinked_law {
  public:
    int singularities(double **where, int **type, double, double, double **period) const override {
        *where = VORN_ARRAY(double, 2);
        *type = VORN_ARRAY(int, 2);
        (*where)[0] = 0.6;
        (*where)[1] = 0.2;
        (*type)[0] = (*type)[1] = 1;
        if (period) *period = nullptr;
        return 2;
    }
};

}  // namespace

TEST_F(Fitting, BadInputRaisesAndLeaksNothing) {
    law_ptr const f = parse("VEC(X, X^2, 0)");
    auto fit = [&f](law *g, double a, double b, double tol) {
        delete law_to_sw_curve(g ? g : f.get(), ZEM::interval(a, b), tol);
    };
    EXPECT_LAW_ERROR(fit(nullptr, 0, 1, 0), LAW_BAD_TOLERANCE);
    EXPECT_LAW_ERROR(fit(nullptr, 0, 1, -1e-3), LAW_BAD_TOLERANCE);
    EXPECT_LAW_ERROR(fit(nullptr, 0, 1, NAN), LAW_BAD_TOLERANCE);
    EXPECT_LAW_ERROR(fit(nullptr, 1, 0, 1e-3), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(fit(nullptr, 1, 1, 1e-3), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(fit(nullptr, NAN, 1, 1e-3), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(delete law_to_sw_curve(f.get(), ZEM::interval(), 1e-3), LAW_BAD_BOUNDS);
    law_ptr const scalar = parse("X^2"), two_inputs = parse("VEC(X, Y, 0)");
    EXPECT_LAW_ERROR(fit(scalar.get(), 0, 1, 1e-3), LAW_DIM);
    EXPECT_LAW_ERROR(fit(two_inputs.get(), 0, 1, 1e-3), LAW_DIM);
    EXPECT_LAW_ERROR(delete law_to_sw_curve(nullptr, ZEM::interval(0, 1), 1e-3), LAW_DIM);
    EXPECT_LAW_ERROR(delete law_to_sw_curve(f.get(), ZEM::interval(0, 1), 1e-3,
                                            static_cast<knot_removal_strategy>(3)),
                     LAW_BAD_RANGE);
    // A law that raises inside the range: its own error, every breakpoint released.
    law_ptr const root = parse("VEC(X, SQRT(X-0.5), 0)");
    EXPECT_LAW_ERROR(fit(root.get(), 0, 1, 1e-3), LAW_SQRT);
    law_ptr const bad = adopt<law>(new badly_singular_law);
    EXPECT_LAW_ERROR(fit(bad.get(), 0, 1, 1e-3), BAD_SINGULARITIES);
    // A law that oscillates faster than any budget of breakpoints.
    law_ptr const wild = parse("VEC(X, SIN(100000*X), 0)");
    EXPECT_LAW_ERROR(fit(wild.get(), 0, 10, 1e-7), BS_ACCURACY);
    // A jump in position: the refinement ends, with a curve that cannot meet the tolerance.
    law_ptr const jump = parse("VEC(X, (X>0.5), 0)");
    std::unique_ptr<sw_curve> c;
    EXPECT_NO_THROW(c.reset(law_to_sw_curve(jump.get(), ZEM::interval(0, 1), 1e-7)));
    ASSERT_TRUE(c);
    EXPECT_GT(dense_distance(jump.get(), *c), 1e-7);
}
