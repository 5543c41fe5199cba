#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include <law/geom/geom.h>

#include "geom_test_util.h"

namespace {

class ConstructionLaws : public LawTest {};

constexpr double pi = std::numbers::pi;

struct construction_case {
    char const *what;
    std::function<void()> build;
    lawutil_error code;
};

// The parser's message for a text that builds no law ("" when it builds one).
std::string refusal(char const *text) {
    law_ptr const l = adopt(str_to_law(text));
    return l ? "" : TEST_get_error();
}

struct refused_text {
    char const *text;
    char const *code;
};

TEST_F(ConstructionLaws, CountRulesRaiseTheirCodes) {
    auto const cases = std::vector<construction_case>{
        {"twist of two",
         [] {
             over<twist_path_law>({X(), X()});
         },
         LAW_TWIST_NUM},
        {"scaletrans of one", [] { over<scaletrans_law>({X()}); }, LAW_SCALE_NUM},
        {"vectrans of three",
         [] {
             over<vectrans_law>({X(), X(), X()});
         },
         LAW_VEC_NUM},
        {"postrans of one", [] { over<postrans_law>({X()}); }, LAW_POS_NUM},
        {"cyclide of two",
         [] {
             over<cyclide_law>({C(2), C(1)});
         },
         LAW_MR_NUM},
        {"bend from geometry along its axis",
         [] {
             bend_law const *b =
                 new bend_law(ZEM::origin, ZEM::unit_vector(0, 1, 0), ZEM::unit_vector(0, 1, 0), 1);
             b->remove();
         },
         LAW_BEND_PARALLEL},
        {"trough line along its axis",
         [] { parse("CONIC_TROUGH_LINE(VEC(0,0,0),VEC(0,0,1),1,1)")->eval(0); }, LAW_ZERODIVIDE},
    };
    for (auto const &c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_LAW_ERROR(c.build(), c.code);
    }
    refused_text const texts[] = {
        {"TWIST(VEC(0,1,0),VEC(X,0,0),X,X)", "LAW_TWIST_NUM"},
        {"SURFVEC(VEC(X,Y,0),VEC(X,X))", "LAW_DIM"},
        {"SCALETRANS(VEC(X,1),VEC(1,0,0,0,1,0,0,0,1,0,0,0,2))", "LAW_DIM"},
        {"SCALETRANS(X)", "LAW_SCALE_NUM"},
        {"VECTRANS(X)", "LAW_VEC_NUM"},
        {"POSTRANS(VEC(X,0,0),VEC(1,2),3)", "LAW_POS_NUM"},
        {"POSTRANS(VEC(X,0,0),VEC(1,2))", "LAW_DIM"},
        {"CYCLIDE(2,1)", "LAW_MR_NUM"},
        {"CYCLIDE(2,1,1,X,Y,Z)", "LAW_MR_NUM"},
        {"CYCLIDE(X,1,1.5)", "LAW_BASE_C"},
        {"CYCLIDE(1,2,1.5)", "LAW_SQRT"},
        {"DCYCLIDE(2,1)", "LAW_MR_NUM"},
        {"CYCLIDE_PERP(2,1,1,VEC(X,Y,Z),Y)", "LAW_MR_NUM"},
        {"MINROT(VEC(X,0,0),VEC(0,1,0))", "LAW_MR_NUM"},
        {"MINROT(DOMAIN(VEC(X,0,0),0,1),VEC(0,1,0),1)", "LAW_MR_NUM"},
        {"BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0))", "LAW_DIM"},
        {"BEND(VEC(0,0,0),VEC(0,0,1),VEC(0,0,-2),1)", "LAW_BEND_PARALLEL"},
        {"BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),0)", "LAW_BAD_RANGE"},
        {"UNBEND(VEC(0,0,0),VEC(0,0,0),VEC(1,0,0),1)", "LAW_BAD_UNIT_VECTOR"},
        {"BEND(VEC(X,0,0),VEC(0,0,1),VEC(1,0,0),1)", "LAW_BASE_C"},
        {"CONIC_LINE(VEC(0,0,0),VEC(1,0,0),1)", "LAW_DIM"},
        {"MULTI_CUR(1)", "LAW_MULTI_CURVE_DOM"},
        {"MULTI_CUR(VEC(X,0,0))", "LAW_MULTI_CURVE_DOM"},
        {"MULTI_CUR(DOMAIN(VEC(X,0,0),1,1))", "LAW_MULTI_CURVE_DOM"},
        {"MULTI_CUR(DOMAIN(VEC(X,0,0),0,1),X)", "LAW_BASE_C"},
        {"MULTI_CURVEPERP(VEC(X,0,0))", "LAW_MULTI_CURVE_DOM"},
    };
    for (refused_text const &t : texts) {
        std::string message;
        captured([&] { message = refusal(t.text); });
        EXPECT_NE(message.find(t.code), std::string::npos) << t.text << ": " << message;
    }
}

TEST_F(ConstructionLaws, EveryLawReadsBackAsItself) {
    char const *const texts[] = {
        "TWIST(VEC(0,1,0),VEC(X,X^2,0),X)",
        "SURFVEC(VEC(X,Y,X*Y),VEC(X^2,X),VEC(2*X,1))",
        "MINROT(VEC(X,X^2,0),VEC(0,0,1),0,1)",
        "BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)",
        "UNBEND(VEC(1,2,3),VEC(0,1,0),VEC(1,0,1),-3)",
        "CONIC_LINE(VEC(X,0,0),VEC(1,0,0),2,1)",
        "CONIC_TROUGH_LINE(VEC(X,0,0),VEC(1,0,0),2,1)",
        "CYCLIDE(2,1,1.5)",
        "CYCLIDE(2,1,1.5,2*X,X+1)",
        "DCYCLIDE(2,1,1.5)",
        "CYCLIDE_PERP(2,1,1.5)",
        "MULTI_CUR(PDOMAIN(VEC(X,0,0),0,1),PDOMAIN(VEC(1,X,0),0,2))",
        "MULTI_CUR(PDOMAIN(VEC(X,0,0),0,1),3)",
        "MULTI_CUR(PDOMAIN(VEC(X,0,0),0,1),FALSE)",
        "MULTI_CURVEPERP(PDOMAIN(VEC(X,0,0),0,1),PDOMAIN(VEC(1,X,0),0,2))",
        "SCALETRANS(X,VEC(1,0,0,0,1,0,0,0,1,0,0,0,2))",
        "VECTRANS(VEC(X,0,0),VEC(1,0,0,0,1,0,0,0,1,0,0,0,2))",
        "POSTRANS(VEC(X,0,0),VEC(1,0,0,0,1,0,0,0,1,0,0,0,2))",
    };
    for (char const *text : texts) {
        SCOPED_TRACE(text);
        law_ptr const l = parse(text);
        ASSERT_TRUE(l);
        EXPECT_EQ(l->text(), text);
        law_ptr const again = parse(l->text().c_str());
        ASSERT_TRUE(again);
        EXPECT_TRUE(*again == *l);
        EXPECT_EQ(l->precedence(), 8);
        EXPECT_STREQ(l->symbol(law_symbol_type(1)), std::string(text).starts_with("CONIC")
                                                        ? l->symbol(law_symbol_default)
                                                        : "no_maple");
    }
    // A chain prints the segments it was given inside their domains, and a start of 0 not at all
    // (a start of value 0 written otherwise, FALSE above, is printed: the reader would not
    // rebuild it).
    EXPECT_EQ(parse("MULTI_CUR(DOMAIN(VEC(X,0,0),0,1),0)")->text(),
              "MULTI_CUR(PDOMAIN(DOMAIN(VEC(X,0,0),0,1),0,1))");
}

TEST_F(ConstructionLaws, TwistTurnsAboutTheTangent) {
    // Rodrigues' rotation of v about the unit tangent k by the angle a, written out.
    auto rotated = [](ZEM::vector const &v, ZEM::vector const &k, double a) {
        return std::cos(a) * v + std::sin(a) * (k * v) + (1 - std::cos(a)) * (k % v) * k;
    };
    law_ptr const twist = parse("TWIST(VEC(0,0,1),VEC(COS(X),SIN(X),0),X/2)");
    for (double t : {0.0, 0.7, 2.0}) {
        ZEM::vector const k(-std::sin(t), std::cos(t), 0);
        ZEM::vector const expected = rotated(ZEM::vector(0, 0, 1), k, t / 2);
        ZEM::vector const got = twist->evaluateR_V(t);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], expected[i], 1e-14) << t;
    }
    // Its derivative is that of the formula.
    law_ptr const d = adopt(twist->derivative(0));
    std::vector<double> const fd = slope(twist.get(), {0.9}, 0);
    std::vector<double> const exact = values(d.get(), {0.9});
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(exact[i], fd[i], 1e-8);
    // No angle, no turn.
    EXPECT_EQ(adopt(parse("TWIST(VEC(0,0,X),VEC(X,0,0),0)")->simplify())->text(), "VEC(0,0,X)");
}

TEST_F(ConstructionLaws, SurfaceVectorIsTheTangentOfTheImageCurve) {
    // The curve (t^2, t) on the saddle (u, v, u v) is (t^2, t, t^3), with tangent (2t, 1, 3t^2).
    law_ptr const v = parse("SURFVEC(VEC(X,Y,X*Y),VEC(X^2,X),VEC(2*X,1))");
    for (double t : {-1.0, 0.5, 2.0}) {
        ZEM::vector const got = v->evaluateR_V(t);
        EXPECT_NEAR(got.x(), 2 * t, 1e-14);
        EXPECT_NEAR(got.y(), 1, 1e-14);
        EXPECT_NEAR(got.z(), 3 * t * t, 1e-14);
    }
}

// The principal normal of the curve c at t, from c's first two derivatives by differences: the
// part of c'' across the tangent, made unit.
ZEM::vector principal_normal(std::function<ZEM::vector(double)> const &c, double t, double h) {
    ZEM::vector const d1 = (c(t + h) - c(t - h)) / (2 * h);
    ZEM::vector const d2 = (c(t + h) - 2 * c(t) + c(t - h)) / (h * h);
    ZEM::vector const across = d2 - ((d2 % d1) / (d1 % d1)) * d1;
    return across / std::sqrt(across % across);
}

TEST_F(ConstructionLaws, FramesOfFramesAreNormalsOfNormals) {
    // The twisted cubic's normal in closed form, and the normal of that normal by differences.
    std::function<ZEM::vector(double)> const normal = [](double t) {
        ZEM::vector const d1(1, 2 * t, 3 * t * t), d2(0, 2, 6 * t);
        ZEM::vector const across = d2 - ((d2 % d1) / (d1 % d1)) * d1;
        return across / std::sqrt(across % across);
    };
    law_ptr const twice = parse("FRENET(FRENET(VEC(X,X^2,X^3)))");
    for (double t : {-0.8, 0.3, 1.5}) {
        ZEM::vector const expected = principal_normal(normal, t, 1e-4);
        ZEM::vector const got = twice->evaluateR_V(t);
        for (int i = 0; i < 3; ++i) EXPECT_NEAR(got[i], expected[i], 1e-6) << t;
    }
    // A third nesting over a general bend would grow its derivatives to tens of millions of laws
    // and gigabytes; it is refused, naming what grew.
    std::string const refused =
        refusal("FRENET(FRENET(FRENET(BEND(VEC(1,2,3),VEC(0.5,0.5,0.6),VEC(1,0,0),-1))))");
    EXPECT_NE(refused.find("LAW_TOO_LARGE"), std::string::npos) << refused;
    EXPECT_NE(refused.find("FRENET differentiates its curve twice"), std::string::npos) << refused;
}

TEST_F(ConstructionLaws, BendWrapsTheNeutralLineOntoItsCircle) {
    // Axis z, direction x, radius 2: the centre of the bend is (0, 2, 0).
    law_ptr const bend = parse("BEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)");
    struct probe {
        double s, h, a;
    };
    for (probe const p : {probe{0, 0, 0}, probe{pi, 0, 0}, probe{1, 0.5, 3}, probe{-2, -1, 1}}) {
        double const at[3] = {p.s, p.h, p.a};
        ZEM::position const q = bend->evaluateM_P(at);
        double const dx = q.x(), dy = q.y() - 2;
        EXPECT_NEAR(std::hypot(dx, dy), 2 - p.h, 1e-14);   // distance from the axis
        EXPECT_NEAR(std::atan2(dx, -dy), p.s / 2, 1e-14);  // arc length s on radius 2
        EXPECT_NEAR(q.z(), p.a, 1e-14);                    // along the axis unchanged
    }
    // Bend then unbend, and unbend then bend, are the identity; so is a bend with its inverse
    // (on points nearer the neutral line than the radius, within half a turn).
    for (char const *members :
         {"VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2", "VEC(1,-2,0.5),VEC(1,1,0),VEC(0,1,3),-4.5"}) {
        std::string const b = std::string("BEND(") + members + ")";
        std::string const u = std::string("UNBEND(") + members + ")";
        law_ptr const there = parse((u + " O " + b).c_str());
        law_ptr const back = parse((b + " O " + u).c_str());
        law_ptr const bend_law_itself = parse(b.c_str());
        law_ptr const inverse = adopt(bend_law_itself->inverse());
        ASSERT_TRUE(inverse);
        EXPECT_TRUE(law_isa<unbend_law>(inverse.get()));
        for (std::vector<double> const &p :
             {std::vector<double>{0.3, 0.2, -1}, std::vector<double>{1.1, -0.4, 2}}) {
            std::vector<double> const a = values(there.get(), p), c = values(back.get(), p);
            std::vector<double> const i = values(inverse.get(), values(bend_law_itself.get(), p));
            for (int k = 0; k < 3; ++k) {
                EXPECT_NEAR(a[k], p[k], 1e-12) << members;
                EXPECT_NEAR(c[k], p[k], 1e-12) << members;
                EXPECT_NEAR(i[k], p[k], 1e-12) << members;
            }
        }
    }
    // An unbend given the law it undoes answers that law as its inverse and holds it.
    law_ptr const unbend = parse("UNBEND(VEC(0,0,0),VEC(0,0,1),VEC(1,0,0),2)");
    law_ptr const related = make_law<unbend_law>(
        static_cast<multiple_law const *>(unbend.get())->fsub(), 4, bend.get());
    law_ptr const undone = adopt(related->inverse());
    EXPECT_EQ(undone.get(), bend.get());
    EXPECT_EQ(related->text(), unbend->text());
}

// The Dupin cyclide in closed form, and its implicit equation
// (x^2 + y^2 + z^2 - mu^2 + b^2)^2 - 4 (a x - c mu)^2 - 4 b^2 y^2 = 0.
struct cyclide {
    double a, c, mu;
    double b() const { return std::sqrt(a * a - c * c); }
    ZEM::position at(double u, double v) const {
        double const d = a - c * std::cos(u) * std::cos(v), bb = b();
        return {(mu * (c - a * std::cos(u) * std::cos(v)) + bb * bb * std::cos(u)) / d,
                bb * std::sin(u) * (a - mu * std::cos(v)) / d,
                bb * std::sin(v) * (c * std::cos(u) - mu) / d};
    }
    double implicit(ZEM::position const &p) const {
        double const r2 = p.x() * p.x() + p.y() * p.y() + p.z() * p.z(), bb = b() * b();
        double const s = r2 - mu * mu + bb, t = a * p.x() - c * mu;
        return s * s - 4 * t * t - 4 * bb * p.y() * p.y();
    }
    ZEM::vector partial(double u, double v, int which) const {
        double const h = 1e-6, du = which == 0 ? h : 0, dv = which == 1 ? h : 0;
        return (at(u + du, v + dv) - at(u - du, v - dv)) / (2 * h);
    }
};

TEST_F(ConstructionLaws, CyclidePointsLieOnTheDupinCyclide) {
    law_ptr const l = parse("CYCLIDE(2,1,1.5)");
    double const origin[2] = {0, 0};
    ZEM::position const o = l->evaluateM_P(origin);
    EXPECT_NEAR(o.x(), 1.5, 1e-15);
    EXPECT_NEAR(o.y(), 0, 1e-15);
    EXPECT_NEAR(o.z(), 0, 1e-15);
    cyclide const shapes[] = {{2, 1, 1.5}, {5, 3, 1}, {3, 0.5, 2.5}};
    for (cyclide const &s : shapes) {
        char text[80];
        std::snprintf(text, sizeof text, "CYCLIDE(%g,%g,%g)", s.a, s.c, s.mu);
        law_ptr const surface = parse(text);
        std::snprintf(text, sizeof text, "DCYCLIDE(%g,%g,%g)", s.a, s.c, s.mu);
        law_ptr const partials = parse(text);
        for (double u : {-2.0, 0.3, 1.7, 3.0})
            for (double v : {-1.1, 0.0, 2.4}) {
                std::vector<double> const p = values(surface.get(), {u, v});
                ZEM::position const q(p[0], p[1], p[2]), e = s.at(u, v);
                EXPECT_NEAR(s.implicit(q), 0, 1e-10) << text << " " << u << " " << v;
                EXPECT_NEAR(distance(q, e), 0, 1e-13);
                std::vector<double> const d = values(partials.get(), {u, v});
                ZEM::vector const su = s.partial(u, v, 0), sv = s.partial(u, v, 1);
                for (int i = 0; i < 3; ++i) {
                    EXPECT_NEAR(d[i], su[i], 1e-7);
                    EXPECT_NEAR(d[3 + i], sv[i], 1e-7);
                }
            }
    }
    // Parameters as members: CYCLIDE(a, c, mu, U, V) is the cyclide at (U, V).
    law_ptr const moving = parse("CYCLIDE(2,1,1.5,2*X,X+1)");
    EXPECT_EQ(moving->take_dim(), 1);
    std::vector<double> const m = values(moving.get(), {0.4});
    EXPECT_NEAR(distance(ZEM::position(m[0], m[1], m[2]), cyclide{2, 1, 1.5}.at(0.8, 1.4)), 0,
                1e-14);
}

TEST_F(ConstructionLaws, CyclidePerpendicularFindsTheFootAlongTheNormal) {
    cyclide const s{2, 1, 1.5};
    law_ptr const l = parse("CYCLIDE_PERP(2,1,1.5)");
    auto const *perp = law_cast<cyclide_perp_law>(l.get());
    ASSERT_TRUE(perp);
    for (double u : {0.3, 2.0, -2.5})
        for (double v : {0.5, -1.0}) {
            ZEM::vector const n = normalise(s.partial(u, v, 0) * s.partial(u, v, 1));
            ZEM::position const p = s.at(u, v) + 0.05 * n;
            double const x[3] = {p.x(), p.y(), p.z()};
            ZEM::par_pos const m = perp->get_m(x);
            EXPECT_NEAR(std::remainder(m.u - u, 2 * pi), 0, 1e-7) << u << " " << v;
            EXPECT_NEAR(std::remainder(m.v - v, 2 * pi), 0, 1e-7) << u << " " << v;
            EXPECT_NEAR(distance(perp->point_on_cyclide(x), p), 0.05, 1e-9);
        }
}

TEST_F(ConstructionLaws, ConicLinesMeetTheirSurfaces) {
    // Along the x axis from (-5, 0, 0), the torus of radii 2 and 1 is met at x = -3, -1, 1, 3.
    law_ptr const torus = parse("CONIC_LINE(VEC(-5,0,0),VEC(1,0,0),2,1)");
    EXPECT_LAW_ERROR(torus->return_dim(), LAW_VARIABLE_RETURN);
    double *t = nullptr;
    int n = 0;
    torus->evaluateVAR(nullptr, t, n);
    ASSERT_EQ(n, 4);
    double const expected[] = {2, 4, 6, 8};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(t[i], expected[i], 1e-9);
    vorn_discard(t);
    // A line that meets the circle of radius 1 at x = -0.8 and 0.8 (y = 0.6).
    law_ptr const trough = parse("CONIC_TROUGH_LINE(VEC(-2,0.6,5),VEC(1,0,1),1,1)");
    std::vector<double> const r = values(trough.get(), {});
    EXPECT_NEAR(r[0], 1.2, 1e-14);
    EXPECT_NEAR(r[1], 2.8, 1e-14);
    // A line that misses: both real parts at the nearest approach.
    std::vector<double> const miss =
        values(parse("CONIC_TROUGH_LINE(VEC(-2,3,0),VEC(1,0,0),1,1)").get(), {});
    EXPECT_NEAR(miss[0], 2, 1e-14);
    EXPECT_NEAR(miss[1], 2, 1e-14);
}

TEST_F(ConstructionLaws, ChainsRunThroughTheirSegments) {
    // x along [0, 1], then up x = 1 for 2, starting at the global parameter 3.
    law_ptr const l = parse("MULTI_CUR(DOMAIN(VEC(X,0,0),0,1),DOMAIN(VEC(1,X,0),0,2),3)");
    auto const *chain = law_cast<multiple_curve_law>(l.get());
    ASSERT_TRUE(chain);
    EXPECT_EQ(chain->segment_count(), 2);
    EXPECT_EQ(chain->closure(), multiple_curve_law::open);
    ZEM::interval dom;
    ASSERT_TRUE(l->term_domain(0, dom));
    EXPECT_EQ(dom.start_pt(), 3);
    EXPECT_EQ(dom.end_pt(), 6);
    EXPECT_NEAR(l->evaluateR_V(3.5).x(), 0.5, 1e-15);
    EXPECT_NEAR(l->evaluateR_V(5).y(), 1, 1e-15);
    double local = 0;
    EXPECT_EQ(chain->which_segment(4, local, 1), 1);
    EXPECT_EQ(local, 0);
    EXPECT_EQ(chain->which_segment(4, local, -1), 0);
    EXPECT_EQ(local, 1);
    EXPECT_EQ(chain->which_segment(4.5, local, 0), 1);
    EXPECT_DOUBLE_EQ(local, 0.5);
    EXPECT_LAW_ERROR(chain->which_segment(6, local, 1), LAW_BAD_DOMAN);
    ZEM::interval seg;
    EXPECT_TRUE(chain->law_segment(1, seg) != nullptr);
    EXPECT_EQ(seg.end_pt(), 2);
    // One segment from its own start is the segment.
    EXPECT_EQ(adopt(parse("MULTI_CUR(DOMAIN(VEC(X,0,0),2,3),2)")->simplify())->text(),
              "PDOMAIN(VEC(X,0,0),2,3)");
    // Its derivative runs through the segments' derivatives.
    law_ptr const d = adopt(l->derivative(0));
    EXPECT_NEAR(d->evaluateR_V(3.5).x(), 1, 1e-15);
    EXPECT_NEAR(d->evaluateR_V(5).y(), 1, 1e-15);
}

TEST_F(ConstructionLaws, ChainsKnowWhetherTheyClose) {
    law_ptr const smooth =
        parse("MULTI_CUR(DOMAIN(VEC(COS(X),SIN(X),0),0,PI),DOMAIN(VEC(COS(X),SIN(X),0),PI,2*PI))");
    auto const *circle = law_cast<multiple_curve_law>(smooth.get());
    EXPECT_EQ(circle->closure(), multiple_curve_law::closed_smooth);
    // On a smooth closed chain the start approached from below is the end.
    double local = 0;
    EXPECT_EQ(circle->which_segment(0, local, -1), 1);
    EXPECT_DOUBLE_EQ(local, 2 * pi);
    law_ptr const corner = parse(
        "MULTI_CUR(DOMAIN(VEC(X,0,0),0,1),DOMAIN(VEC(1-X,X,0),0,1),DOMAIN(VEC(0,1-X,0),0,1))");
    EXPECT_EQ(law_cast<multiple_curve_law>(corner.get())->closure(), multiple_curve_law::closed);
    // A segment whose domain runs backwards is refused, with a line in the debug file.
    std::string const debug = captured([] {
        law_ptr const a = parse("DOMAIN(VEC(X,0,0),0,1)");
        law_ptr const b = make_law<domain_law>(
            std::vector<law *>{parse("VEC(1,X,0)").get(), C(2).get(), C(1).get()}.data(), 3);
        EXPECT_LAW_ERROR(over<multiple_curve_law>({a, b}), LAW_MULTI_CURVE_DOM);
    });
    EXPECT_EQ(debug, "Trouble - domain bad on segment in multiple_curve_law\n");
}

TEST_F(ConstructionLaws, ChainPerpendicularFindsTheNearestFoot) {
    law_ptr const l = parse("MULTI_CURVEPERP(DOMAIN(VEC(X,0,0),0,1),DOMAIN(VEC(1,X,0),0,2),3)");
    auto const *perp = law_cast<multiple_curveperp_law>(l.get());
    ASSERT_TRUE(perp && perp->get_mc_law());
    EXPECT_EQ(l->take_dim(), 3);
    struct probe {
        double x, y, z, foot;
    };
    for (probe const p : {probe{0.3, 0.5, 0, 3.3}, probe{1.4, 1.2, 0, 5.2}, probe{0.6, -2, 1, 3.6},
                          probe{2, 3, 0, 6}}) {
        double const at[3] = {p.x, p.y, p.z};
        double const t = l->evaluateM_R(at);
        EXPECT_NEAR(t, p.foot, 1e-12);
    }
    // On a circle the foot's chord is normal to the tangent.
    law_ptr const ring = parse("MULTI_CURVEPERP(DOMAIN(VEC(2*COS(X),2*SIN(X),0),0,2*PI))");
    double const at[3] = {0.5, 1.5, 0.7};
    double const t = ring->evaluateM_R(at);
    ZEM::vector const chord =
        ZEM::vector(2 * std::cos(t), 2 * std::sin(t), 0) - ZEM::vector(0.5, 1.5, 0.7);
    EXPECT_NEAR(chord % ZEM::vector(-std::sin(t), std::cos(t), 0), 0, 1e-12);
    EXPECT_NEAR(t, std::atan2(1.5, 0.5), 1e-10);
}

TEST_F(ConstructionLaws, TransformsApplyAsTheyRead) {
    // Axes x -> y, y -> -x, origin (1, 2, 3), scaling 2: p goes to O + 2 (px Y' + ...).
    char const *T = "VEC(0,1,0,-1,0,0,0,0,1,1,2,3,2)";
    auto with = [&](char const *name, char const *first) {
        return parse((std::string(name) + "(" + first + "," + T + ")").c_str());
    };
    std::vector<double> const p = values(with("POSTRANS", "VEC(X,Y,Z)").get(), {1, 0.5, -1});
    EXPECT_NEAR(p[0], 1 - 2 * 0.5, 1e-15);
    EXPECT_NEAR(p[1], 2 + 2 * 1, 1e-15);
    EXPECT_NEAR(p[2], 3 - 2, 1e-15);
    std::vector<double> const v = values(with("VECTRANS", "VEC(X,Y,Z)").get(), {1, 0.5, -1});
    EXPECT_NEAR(v[0], -1, 1e-15);
    EXPECT_NEAR(v[1], 2, 1e-15);
    EXPECT_NEAR(v[2], -2, 1e-15);
    EXPECT_NEAR(values(with("SCALETRANS", "X^2").get(), {3})[0], 18, 1e-15);
    // With a constant transform the derivative is exact: the transformed derivative.
    law_ptr const moving = with("POSTRANS", "VEC(X^2,X,0)");
    law_ptr const d = adopt(moving->derivative(0));
    std::vector<double> const dd = values(d.get(), {1.5});
    EXPECT_NEAR(dd[0], -2, 1e-14);
    EXPECT_NEAR(dd[1], 6, 1e-14);
    // The identity transform goes away.
    EXPECT_EQ(
        adopt(parse("POSTRANS(VEC(X,0,0),VEC(1,0,0,0,1,0,0,0,1,0,0,0,1))")->simplify())->text(),
        "VEC(X,0,0)");
}

}  // namespace
