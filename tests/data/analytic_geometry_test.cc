// The exact curves and surfaces: every slot against independent numerical evidence.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "law_test.h"

namespace {

// Central difference of f at t with step h.
ZEM::vector central(std::function<ZEM::vector(double)> const &f, double t, double h) {
    return (f(t + h) - f(t - h)) / (2 * h);
}

double max_diff(ZEM::vector const &a, ZEM::vector const &b) {
    ZEM::vector const d = a - b;
    return std::max({std::fabs(d.x()), std::fabs(d.y()), std::fabs(d.z())});
}

// Arc length by composite Simpson's rule on the speed.
double simpson_length(base_curve_law_data const &c, double a, double b) {
    int const n = 2000;
    double const h = (b - a) / n;
    double sum = c.eval(a, 1).len() + c.eval(b, 1).len();
    for (int i = 1; i < n; ++i) sum += (i % 2 ? 4 : 2) * c.eval(a + i * h, 1).len();
    return sum * h / 3;
}

struct curve_case {
    char const *name;
    std::function<law_data_ptr()> make;
    double curvature;
};

std::vector<curve_case> curve_cases() {
    return {
        {"unit line", [] { return law_data_ptr(make<line_law_data>()); }, 0},
        {"slanted line",
         [] {
             return law_data_ptr(
                 make<line_law_data>(ZEM::position(1, 2, 3), ZEM::vector(2, -1, 0.5), -1, 4));
         },
         0},
        {"unit circle", [] { return law_data_ptr(make<circle_law_data>()); }, 1},
        {"tilted circle",
         [] {
             return law_data_ptr(make<circle_law_data>(
                 ZEM::position(1, 0, -2), ZEM::vector(1, 1, 1), ZEM::vector(3, 0, 0), 0.5, 3));
         },
         // The major axis loses its part along the normal: radius sqrt(6).
         1 / std::sqrt(6.0)},
        {"helix",
         [] {
             return law_data_ptr(make<helix_law_data>(ZEM::position(0, 1, 0), ZEM::vector(0, 1, 0),
                                                      ZEM::vector(0, 0, 2), 3, 0, 12));
         },
         2 / (4 + std::pow(3 / (2 * M_PI), 2))},
    };
}

base_curve_law_data const &as_curve(law_data_ptr const &d) {
    return *static_cast<base_curve_law_data const *>(d.get());
}

// A unit direction across the curve's tangent at t.
ZEM::vector across_tangent(base_curve_law_data const &c, double t) {
    ZEM::vector const d = c.eval(t, 1);
    ZEM::vector trial = d * ZEM::vector(0.3, -0.7, 0.64);
    if (trial.len() < 1e-3) trial = d * ZEM::vector(1, 0, 0);
    return ZEM::unit_vector(trial);
}

}  // namespace

class AnalyticCurves : public LawTest {};

TEST_F(AnalyticCurves, DerivativesOfEveryOrderMatchDifferences) {
    for (auto const &cc : curve_cases()) {
        law_data_ptr const d = cc.make();
        auto const &c = as_curve(d);
        for (double t : {c.data_start(), 0.3, 1.7}) {
            for (int n = 1; n <= 6; ++n) {
                ZEM::vector const numeric =
                    central([&](double s) { return c.eval(s, n - 1); }, t, 1e-5);
                EXPECT_LT(max_diff(c.eval(t, n), numeric), 1e-6 * (1 + numeric.len()))
                    << cc.name << " order " << n << " at " << t;
            }
        }
        EXPECT_LAW_ERROR(c.eval(0, -1), LAW_DATA_CURVE);
    }
}

TEST_F(AnalyticCurves, CurvatureLengthAndArcLengthParameter) {
    for (auto const &cc : curve_cases()) {
        law_data_ptr const d = cc.make();
        auto const &c = as_curve(d);
        double const a = c.data_start(), b = c.data_end();
        EXPECT_NEAR(c.curvature(0.5 * (a + b)), cc.curvature, 1e-12) << cc.name;
        double const len = c.length(a, b);
        EXPECT_NEAR(len, simpson_length(c, a, b), 1e-9 * len) << cc.name;
        EXPECT_NEAR(c.length(b, a), -len, 1e-12) << cc.name;
        double const mid = a + 0.37 * (b - a);
        EXPECT_NEAR(c.length_param(a, c.length(a, mid)), mid, 1e-12) << cc.name;
        EXPECT_NEAR(c.length(mid, c.length_param(mid, 0.25)), 0.25, 1e-12) << cc.name;
    }
}

TEST_F(AnalyticCurves, PerpendicularFootFindsTheParameter) {
    for (auto const &cc : curve_cases()) {
        law_data_ptr const d = cc.make();
        auto const &c = as_curve(d);
        double const a = c.data_start(), b = c.data_end();
        double const offset = 0.2 / std::max(cc.curvature, 1.0);
        for (double f : {0.05, 0.3, 0.62, 0.9}) {
            double const t = a + f * (b - a);
            ZEM::position const p = ZEM::origin + c.eval(t) + across_tangent(c, t) * offset;
            EXPECT_NEAR(c.point_perp(p, t + 0.4), t, 1e-9) << cc.name << " guessed, at " << t;
            // Without a guess a closed curve answers within its first turn.
            double const found = c.point_perp(p);
            ZEM::vector const at_found = c.eval(found);
            EXPECT_LT(max_diff(at_found, c.eval(t)), 1e-9) << cc.name << " at " << t;
        }
    }
}

TEST_F(AnalyticCurves, FootOnAHelixIsTheNearestTurn) {
    auto const h =
        make<helix_law_data>(ZEM::origin, ZEM::vector(0, 0, 1), ZEM::vector(1, 0, 0), 0.5, 0, 40);
    // A point on the axis level with turn 3 is nearest to that turn, not to a neighbour.
    double const t = 6 * M_PI + 1.0;
    ZEM::position const p =
        ZEM::origin + h->eval(t) * 0.5 + ZEM::vector(0, 0, 0.5 * h->eval(t).z());
    double const found = h->point_perp(p);
    EXPECT_NEAR(found, t, 1e-9);
    ZEM::vector const to_p = p - (ZEM::origin + h->eval(found));
    EXPECT_NEAR(to_p % h->eval(found, 1), 0, 1e-12);
}

// Far along a helix the foot is the turn while doubles still resolve a turn finely, and
// LAW_NO_VALUE past that (the turn search once counted turns in doubles and never ended there).
TEST_F(AnalyticCurves, FootFarAlongAHelixIsTheTurnOrAnError) {
    auto const h =
        make<helix_law_data>(ZEM::origin, ZEM::vector(0, 0, 1), ZEM::vector(1, 0, 0), 0.5, 0, 40);
    for (double const t : {1e6, 1e9, 1e11}) {
        // Half-way between the point of t and the axis, at its height: nearest to t's turn.
        ZEM::vector const on = h->eval(t);
        ZEM::position const p = ZEM::origin + ZEM::vector(0.5 * on.x(), 0.5 * on.y(), on.z());
        EXPECT_NEAR(h->point_perp(p), t, 1e-14 * t * 64) << t;
        EXPECT_NEAR(h->point_perp(p, t + 1), t, 1e-14 * t * 64) << t;
    }
    double const nan = std::numeric_limits<double>::quiet_NaN();
    for (double const z : {1e13, 1e20, 1e300, HUGE_VAL, nan}) {
        SCOPED_TRACE(z);
        EXPECT_LAW_ERROR(h->point_perp(ZEM::position(0.5, 0, z)), LAW_NO_VALUE);
    }
    EXPECT_LAW_ERROR(h->point_perp(ZEM::position(0.5, 0, 0), 1e20), LAW_NO_VALUE);
    EXPECT_LAW_ERROR(h->point_perp(ZEM::position(0.5, 0, 0), nan), LAW_NO_VALUE);
    // A flat helix reaches far turns from a near point: its turns are as hard to tell apart.
    auto const flat =
        make<helix_law_data>(ZEM::origin, ZEM::vector(0, 0, 1), ZEM::vector(1, 0, 0), 1e-300, 0, 1);
    EXPECT_LAW_ERROR(flat->point_perp(ZEM::position(0.5, 0, 1)), LAW_NO_VALUE);
}

TEST_F(AnalyticCurves, LawFormTracesTheCurve) {
    for (auto const &cc : curve_cases()) {
        law_data_ptr const d = cc.make();
        auto const &c = as_curve(d);
        law_ptr const form = adopt(c.law_form());
        ASSERT_TRUE(form) << cc.name << ": " << TEST_get_error();
        EXPECT_EQ(form->take_dim(), 1);
        EXPECT_EQ(form->return_dim(), 3);
        for (double t : {c.data_start(), 0.7, c.data_end()}) {
            EXPECT_LT(max_diff(form->evaluateR_V(t), c.eval(t)), 1e-12) << cc.name;
            EXPECT_LT(max_diff(form->evaluateDR_V(t, 1), c.eval(t, 1)), 1e-12) << cc.name;
        }
    }
}

TEST_F(AnalyticCurves, BatchedEvaluationMatchesEval) {
    for (auto const &cc : curve_cases()) {
        law_data_ptr const d = cc.make();
        auto const &c = as_curve(d);
        ZEM::position p;
        ZEM::vector d1, d3;
        ZEM::vector *derivs[3] = {&d1, nullptr, &d3};
        EXPECT_EQ(c.evaluate(0.4, p, derivs, 3, 0), 3);
        EXPECT_TRUE(p - ZEM::origin == c.eval(0.4)) << cc.name;
        EXPECT_TRUE(d1 == c.eval(0.4, 1)) << cc.name;
        EXPECT_TRUE(d3 == c.eval(0.4, 3)) << cc.name;
        double *where = nullptr;
        int *order = nullptr;
        EXPECT_EQ(c.discontinuities(&where, &order, c.data_start(), c.data_end()), 0);
        EXPECT_EQ(where, nullptr);
        EXPECT_EQ(order, nullptr);
    }
}

TEST_F(AnalyticCurves, CopiesAreEqualAndOthersAreNot) {
    auto const cases = curve_cases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        law_data_ptr const d = cases[i].make();
        law_data_ptr const copy = adopt(d->deep_copy());
        EXPECT_NE(copy.get(), d.get());
        EXPECT_TRUE(*copy == *d) << cases[i].name;
        EXPECT_STREQ(copy->symbol(law_symbol_default), d->symbol(law_symbol_default));
        for (std::size_t j = 0; j < cases.size(); ++j)
            if (j != i) {
                EXPECT_FALSE(*d == *cases[j].make()) << cases[i].name << cases[j].name;
            }
        SizeAccumulator size;
        d->full_size(size);
        EXPECT_GE(size.getSize(), sizeof(path_law_data));
        T4_ostream out;
        d->print(out);
        EXPECT_EQ(std::strncmp(out.str(), d->symbol(law_symbol_default),
                               std::strlen(d->symbol(law_symbol_default))),
                  0);
    }
    // A circle is not a helix of pitch 0, though they trace the same points.
    auto const circle = make<circle_law_data>();
    auto const flat =
        make<helix_law_data>(ZEM::origin, ZEM::vector(0, 0, 1), ZEM::vector(1, 0, 0), 0);
    EXPECT_TRUE(circle->eval(1.0) == flat->eval(1.0));
    EXPECT_FALSE(*circle == *flat);
    EXPECT_FALSE(*flat == *circle);
    EXPECT_FALSE(*make<line_law_data>() ==
                 *make<line_law_data>(ZEM::origin, ZEM::vector(1, 0, 0), 0, 2));
}

TEST_F(AnalyticCurves, BadParametersAreRefused) {
    EXPECT_LAW_ERROR(new line_law_data(ZEM::origin, ZEM::vector(0, 0, 0)), LAW_DIM);
    EXPECT_LAW_ERROR(new line_law_data(ZEM::origin, ZEM::vector(1, 0, 0), 2, 1), LAW_BAD_DOMAN);
    EXPECT_LAW_ERROR(new line_law_data(ZEM::origin, ZEM::vector(1, 0, 0), 0, INFINITY),
                     LAW_BAD_DOMAN);
    EXPECT_LAW_ERROR(new circle_law_data(ZEM::origin, ZEM::vector(0, 0, 1), ZEM::vector(0, 0, 2)),
                     LAW_DIM);
    EXPECT_LAW_ERROR(new circle_law_data(ZEM::origin, ZEM::vector(), ZEM::vector(1, 0, 0)),
                     LAW_DIM);
    EXPECT_LAW_ERROR(
        new helix_law_data(ZEM::origin, ZEM::vector(0, 0, 1), ZEM::vector(1, 0, 0), NAN), LAW_DIM);
}

// ---------------------------------------------------------------- surfaces

namespace {

struct surface_case {
    char const *name;
    std::function<law_data_ptr()> make;
    double gaussian, mean;
};

std::vector<surface_case> surface_cases() {
    return {
        {"unit plane", [] { return law_data_ptr(make<plane_law_data>()); }, 0, 0},
        {"skew plane",
         [] {
             return law_data_ptr(make<plane_law_data>(ZEM::position(1, 1, 1), ZEM::vector(1, 2, 0),
                                                      ZEM::vector(0, 1, 3), ZEM::interval(-1, 2),
                                                      ZEM::interval(0, 5)));
         },
         0, 0},
        {"unit sphere", [] { return law_data_ptr(make<sphere_law_data>()); }, 1, 1},
        {"tilted sphere",
         [] {
             return law_data_ptr(make<sphere_law_data>(ZEM::position(2, 0, -1), 2.5,
                                                       ZEM::vector(1, 1, 0), ZEM::vector(0, 0, 1)));
         },
         1 / 6.25, 1 / 2.5},
    };
}

base_surface_law_data const &as_surface(law_data_ptr const &d) {
    return *static_cast<base_surface_law_data const *>(d.get());
}

// Gaussian and mean curvature from the two fundamental forms, positive where the surface bends
// away from its normal.
std::pair<double, double> curvatures_from_forms(base_surface_law_data const &s,
                                                ZEM::par_pos const &uv) {
    ZEM::vector const su = s.eval(uv, 1, 0), sv = s.eval(uv, 0, 1);
    ZEM::vector const n = ZEM::unit_vector(su * sv);
    double const E = su % su, F = su % sv, G = sv % sv;
    double const L = -(s.eval(uv, 2, 0) % n), M = -(s.eval(uv, 1, 1) % n),
                 N = -(s.eval(uv, 0, 2) % n);
    double const det = E * G - F * F;
    return {(L * N - M * M) / det, (E * N - 2 * F * M + G * L) / (2 * det)};
}

}  // namespace

class AnalyticSurfaces : public LawTest {};

TEST_F(AnalyticSurfaces, PartialsOfEveryOrderMatchDifferences) {
    for (auto const &sc : surface_cases()) {
        law_data_ptr const d = sc.make();
        auto const &s = as_surface(d);
        ZEM::par_pos const uv(0.4, 0.3);
        for (int du = 0; du <= 3; ++du)
            for (int dv = 0; dv <= 3; ++dv) {
                if (du + dv == 0) continue;
                ZEM::vector const numeric = du > 0 ? central(
                                                         [&](double u) {
                                                             return s.eval({u, uv.v}, du - 1, dv);
                                                         },
                                                         uv.u, 1e-5)
                                                   : central(
                                                         [&](double v) {
                                                             return s.eval({uv.u, v}, du, dv - 1);
                                                         },
                                                         uv.v, 1e-5);
                EXPECT_LT(max_diff(s.eval(uv, du, dv), numeric), 1e-6 * (1 + numeric.len()))
                    << sc.name << " " << du << "," << dv;
            }
        EXPECT_LAW_ERROR(s.eval(uv, -1, 0), LAW_DIM);
    }
}

TEST_F(AnalyticSurfaces, CurvaturesAgreeWithTheFundamentalForms) {
    for (auto const &sc : surface_cases()) {
        law_data_ptr const d = sc.make();
        auto const &s = as_surface(d);
        for (ZEM::par_pos uv : {ZEM::par_pos(0.4, 0.3), ZEM::par_pos(2.0, -1.1)}) {
            auto const [gauss, mean] = curvatures_from_forms(s, uv);
            EXPECT_NEAR(s.gaussian_curvature(uv), gauss, 1e-9) << sc.name;
            EXPECT_NEAR(s.mean_curvature(uv), mean, 1e-9) << sc.name;
            EXPECT_NEAR(s.gaussian_curvature(uv), sc.gaussian, 1e-12) << sc.name;
            EXPECT_NEAR(s.mean_curvature(uv), sc.mean, 1e-12) << sc.name;
            double const root = std::sqrt(std::max(0.0, mean * mean - gauss));
            EXPECT_NEAR(s.max_curvature(uv), mean + root, 1e-6) << sc.name;
            EXPECT_NEAR(s.min_curvature(uv), mean - root, 1e-6) << sc.name;
        }
    }
}

TEST_F(AnalyticSurfaces, NormalsAndPerpendicularFeet) {
    for (auto const &sc : surface_cases()) {
        law_data_ptr const d = sc.make();
        auto const &s = as_surface(d);
        for (ZEM::par_pos uv : {ZEM::par_pos(0.4, 0.3), ZEM::par_pos(1.5, -0.9)}) {
            ZEM::unit_vector const n = s.normal(uv);
            EXPECT_NEAR(n.len(), 1, 1e-12);
            EXPECT_NEAR(n % s.eval(uv, 1, 0), 0, 1e-12) << sc.name;
            EXPECT_NEAR(n % s.eval(uv, 0, 1), 0, 1e-12) << sc.name;
            EXPECT_GT(n % (s.eval(uv, 1, 0) * s.eval(uv, 0, 1)), 0) << sc.name;
            for (double off : {-0.3, 0.0, 0.7}) {
                ZEM::position const p = ZEM::origin + s.eval(uv) + n * off;
                ZEM::par_pos const foot = s.point_perp(p, &uv);
                EXPECT_NEAR(foot.u, uv.u, 1e-9) << sc.name << " off " << off;
                EXPECT_NEAR(foot.v, uv.v, 1e-9) << sc.name << " off " << off;
                ZEM::par_pos const unguided = s.point_perp(p);
                EXPECT_LT(max_diff(s.eval(unguided), s.eval(uv)), 1e-9) << sc.name;
            }
            EXPECT_TRUE(s.eval_approx(uv) == s.eval(uv));
        }
    }
}

TEST_F(AnalyticSurfaces, DomainsCopiesAndEquality) {
    auto const cases = surface_cases();
    for (std::size_t i = 0; i < cases.size(); ++i) {
        law_data_ptr const d = cases[i].make();
        auto const &s = as_surface(d);
        ZEM::interval u, v;
        EXPECT_EQ(s.term_domain(0, u), 1);
        EXPECT_EQ(s.term_domain(1, v), 1);
        EXPECT_TRUE(u.finite() && v.finite());
        law_data_ptr const copy = adopt(d->deep_copy());
        EXPECT_TRUE(*copy == *d) << cases[i].name;
        for (std::size_t j = 0; j < cases.size(); ++j)
            if (j != i) {
                EXPECT_FALSE(*d == *cases[j].make()) << cases[i].name << cases[j].name;
            }
    }
    ZEM::interval u;
    make<sphere_law_data>()->term_domain(0, u);
    EXPECT_TRUE(u == ZEM::interval(0, 2 * M_PI));
    EXPECT_LAW_ERROR(new sphere_law_data(ZEM::origin, 0), LAW_DIM);
    EXPECT_LAW_ERROR(
        new sphere_law_data(ZEM::origin, 1, ZEM::vector(0, 0, 1), ZEM::vector(0, 0, 3)), LAW_DIM);
    EXPECT_LAW_ERROR(new plane_law_data(ZEM::origin, ZEM::vector(1, 0, 0), ZEM::vector(2, 0, 0)),
                     LAW_DIM);
    EXPECT_LAW_ERROR(new plane_law_data(ZEM::origin, ZEM::vector(1, 0, 0), ZEM::vector(0, 1, 0),
                                        ZEM::interval(1, 0)),
                     LAW_BAD_DOMAN);
    EXPECT_LAW_ERROR(new plane_law_data(ZEM::origin, ZEM::vector(1, 0, 0), ZEM::vector(0, 1, 0),
                                        ZEM::interval()),
                     LAW_BAD_DOMAN);
}

// ---------------------------------------------------------------- registry

class AnalyticRegistry : public LawTest {};

TEST_F(AnalyticRegistry, EachShapeIsRegisteredUnderANameNoLawUses) {
    std::vector<std::string> data_names;
    for (auto const *n = law_data_list::head(); n; n = n->next())
        data_names.emplace_back(n->prototype()->symbol(law_symbol_default));
    for (char const *name : {"LINE", "CIRCLE", "HELIX", "PLANE", "SPHERE"})
        EXPECT_EQ(std::count(data_names.begin(), data_names.end(), name), 1) << name;
    for (auto const *n = law_list::head(); n; n = n->next()) {
        char const *law_name = n->prototype()->symbol(law_symbol_default);
        if (!law_name) continue;
        for (char const *name : {"LINE", "CIRCLE", "HELIX", "PLANE", "SPHERE"})
            EXPECT_STRNE(law_name, name);
    }
}
