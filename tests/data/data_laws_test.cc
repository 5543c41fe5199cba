// The laws over curves, wires, parameter curves, surfaces, patterns and transforms, checked
// against closed forms of the shapes and against independent computations written here.
#include <cmath>
#include <string>
#include <vector>

#include "law_test.h"

namespace {

class DataLaws : public LawTest {};

law_data_ptr read_data(char const *text) {
    law_data_ptr d = adopt(read_law_data(text));
    EXPECT_TRUE(d) << text << ": " << TEST_get_error();
    return d;
}

law_ptr parse(char const *text, std::vector<law_data *> data) {
    law_ptr l = adopt(str_to_law(text, data.data(), static_cast<int>(data.size())));
    EXPECT_TRUE(l) << text << ": " << TEST_get_error();
    return l;
}

double value(law const &l, double x) { return l.evaluateM_R(&x); }

double dist(ZEM::vector const &a, ZEM::vector const &b) { return (a - b).len(); }

std::string exact(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

// A helix of radius r about Z from the X axis, rising c per radian: (r cos t, r sin t, c t).
struct helix_form {
    double r, c;
    ZEM::vector at(double t) const { return {r * std::cos(t), r * std::sin(t), c * t}; }
    ZEM::vector tangent(double t) const { return {-r * std::sin(t), r * std::cos(t), c}; }
    std::string text(double start, double end) const {
        return "HELIX major (" + exact(r) + ", 0, 0) pitch " + exact(2 * M_PI * c) + " [" +
               exact(start) + ", " + exact(end) + "]";
    }
};

// The Gaussian and mean curvature from the fundamental forms of a surface law, its partials
// taken by central differences of its points; H has the sign of the normal Su x Sv.
void curvatures_by_differences(law const &surf, double u, double v, double &k, double &h) {
    double const e = 1e-3;
    auto p = [&](double a, double b) {
        double const x[2] = {a, b};
        return surf.evaluateM_V(x);
    };
    ZEM::vector const su = (p(u + e, v) - p(u - e, v)) / (2 * e);
    ZEM::vector const sv = (p(u, v + e) - p(u, v - e)) / (2 * e);
    ZEM::vector const suu = (p(u + e, v) - p(u, v) * 2 + p(u - e, v)) / (e * e);
    ZEM::vector const svv = (p(u, v + e) - p(u, v) * 2 + p(u, v - e)) / (e * e);
    ZEM::vector const suv =
        (p(u + e, v + e) - p(u + e, v - e) - p(u - e, v + e) + p(u - e, v - e)) / (4 * e * e);
    ZEM::vector const n = ZEM::unit_vector(su * sv);
    double const E = su % su, F = su % sv, G = sv % sv;
    double const L = suu % n, M = suv % n, N = svv % n;
    k = (L * N - M * M) / (E * G - F * F);
    h = (E * N - 2 * F * M + G * L) / (2 * (E * G - F * F));
}

}  // namespace

TEST_F(DataLaws, CurveLawGivesThePointItsDerivativesAndTheRange) {
    law_data_ptr const line = read_data("LINE root (1, 2, 3) dir (2, -1, 0.5) [-1, 4]");
    law_ptr const cur = parse("CUR(LINE1)", {line.get()});
    for (double t : {-1.0, 0.0, 0.7, 4.0}) {
        ZEM::vector const expected(1 + 2 * t, 2 - t, 3 + 0.5 * t);
        EXPECT_LT(dist(cur->evaluateR_V(t), expected), 1e-15) << t;
    }
    ZEM::interval dom;
    ASSERT_TRUE(cur->term_domain(0, dom));
    EXPECT_EQ(dom.start_pt(), -1);
    EXPECT_EQ(dom.end_pt(), 4);
    law_ptr const d = adopt(cur->derivative(0));
    EXPECT_EQ(d->text(), "DCUR(LINE1,1)");
    EXPECT_LT(dist(d->evaluateR_V(0.3), ZEM::vector(2, -1, 0.5)), 1e-15);
    law_ptr const d2 = adopt(d->derivative(0));
    EXPECT_EQ(d2->text(), "DCUR(LINE1,2)");
    EXPECT_LT(d2->evaluateR_V(0.3).len(), 1e-15);
    // The rail is a curve law to evaluate, not to isa.
    law_ptr const rail = parse("MTRAIL(LINE1)", {line.get()});
    EXPECT_FALSE(law_isa<curve_law>(rail.get()));
    EXPECT_TRUE(law_isa<unary_data_law>(rail.get()));
    EXPECT_TRUE(law_isa<minrot_rail_law>(rail.get()));
    EXPECT_EQ(adopt(rail->derivative(0))->text(), "DCUR(LINE1,1)");
    law_ptr const restricted = adopt(rail->set_domain(nullptr));
    EXPECT_TRUE(law_isa<minrot_rail_law>(restricted.get()));
}

TEST_F(DataLaws, OrdersAboveTwoAreNumericalDerivativesOfTheSecondOrder) {
    helix_form const h{2, 0.5};
    law_data_ptr const helix = read_data(h.text(0, 10).c_str());
    law_ptr const cur = parse("CUR(HELIX1)", {helix.get()});
    law_ptr const d3 = adopt(cur->nth_derivative(3));
    auto const *numerical = law_cast<derivative_law>(d3.get());
    ASSERT_TRUE(numerical) << d3->text();
    auto const *second = law_cast<dcurve_law>(numerical->fsub()[0]);
    ASSERT_TRUE(second) << numerical->fsub()[0]->text();
    EXPECT_EQ(second->order(), 2);
    for (double t : {1.0, 2.5, 6.0}) {
        ZEM::vector const expected(h.r * std::sin(t), -h.r * std::cos(t), 0);
        EXPECT_LT(dist(d3->evaluateR_V(t), expected), 1e-6) << t;
    }
    // Other inputs than the parameter give zero.
    law_ptr const dy = adopt(cur->derivative(1));
    EXPECT_EQ(dy->text(), "0");
}

TEST_F(DataLaws, CurvatureOfACircleAndAHelixAndTheirPrincipalNormal) {
    law_data_ptr const circle = read_data("CIRCLE centre (1, 1, 0) major (3, 0, 0)");
    law_ptr const k = parse("CURC(CIRCLE1)", {circle.get()});
    for (double t : {0.0, 1.0, 4.0}) EXPECT_NEAR(value(*k, t), 1.0 / 3, 1e-14);
    helix_form const h{2, 3 / (2 * M_PI)};
    law_data_ptr const helix = read_data(h.text(0, 12).c_str());
    law_ptr const kh = parse("CURC(HELIX1)", {helix.get()});
    for (double t : {0.5, 7.0}) EXPECT_NEAR(value(*kh, t), h.r / (h.r * h.r + h.c * h.c), 1e-14);
    law_ptr const dk = adopt(kh->derivative(0));
    EXPECT_NEAR(value(*dk, 3.0), 0, 1e-8) << "constant curvature";
    // The principal normal of a helix points at its axis.
    law_ptr const n = parse("FRENET(CUR(HELIX1))", {helix.get()});
    for (double t : {0.5, 2.0, 7.0})
        EXPECT_LT(dist(n->evaluateR_V(t), ZEM::vector(-std::cos(t), -std::sin(t), 0)), 1e-12) << t;
}

TEST_F(DataLaws, GaussianAndMeanCurvatureOfASphereAndAPlane) {
    double const R = 2;
    law_data_ptr const sphere = read_data("SPHERE centre (1, 0, -1) radius 2");
    law_data_ptr const plane = read_data("PLANE root (0, 0, 1) u (1, 1, 0) v (0, 1, 1)");
    law_ptr const surf = parse("SURF(SPHERE1)", {sphere.get()});
    EXPECT_EQ(surf->take_dim(), 2);
    EXPECT_EQ(surf->return_dim(), 3);
    double const uv[2] = {0.7, 0.4};
    struct {
        char const *text;
        double sphere, plane;
    } const cases[] = {
        {"GAUSCUR", 1 / (R * R), 0},
        {"MEANCUR", 1 / R, 0},
        {"MAXCUR", 1 / R, 0},
        {"MINCUR", 1 / R, 0},
    };
    for (auto const &c : cases) {
        std::string const on_sphere = std::string(c.text) + "(SPHERE1)";
        std::string const on_plane = std::string(c.text) + "(PLANE1)";
        EXPECT_NEAR(std::fabs(parse(on_sphere.c_str(), {sphere.get()})->evaluateM_R(uv)), c.sphere,
                    1e-14);
        EXPECT_NEAR(parse(on_plane.c_str(), {plane.get()})->evaluateM_R(uv), c.plane, 1e-14);
    }
    // The same from the fundamental forms of the surface's points.
    double k = 0, h = 0;
    curvatures_by_differences(*surf, uv[0], uv[1], k, h);
    EXPECT_NEAR(k, 1 / (R * R), 1e-5);
    EXPECT_NEAR(std::fabs(h), 1 / R, 1e-5);
    law_ptr const flat = parse("SURF(PLANE1)", {plane.get()});
    curvatures_by_differences(*flat, 0.3, 0.2, k, h);
    EXPECT_NEAR(k, 0, 1e-6);
    EXPECT_NEAR(h, 0, 1e-6);
}

TEST_F(DataLaws, ArcLengthAndTheParameterItReachesOnAHelix) {
    helix_form const h{1.5, 0.4};
    double const speed = std::sqrt(h.r * h.r + h.c * h.c);
    law_data_ptr const helix = read_data(h.text(0, 20).c_str());
    law_ptr const length = parse("LENGTH(HELIX1,X,2*X)", {helix.get()});
    for (double x : {0.5, 3.0, 9.0}) EXPECT_NEAR(value(*length, x), x * speed, 1e-12) << x;
    law_ptr const dl = adopt(length->derivative(0));
    EXPECT_NEAR(value(*dl, 2.0), speed, 1e-7);
    law_ptr const param = parse("LENGTH_PARAM(HELIX1,X,Y)", {helix.get()});
    double const at[2] = {1.0, 4.0};
    EXPECT_NEAR(param->evaluateM_R(at), 1.0 + 4.0 / speed, 1e-12);
}

TEST_F(DataLaws, PerpendicularFeetOnACurveAndASurface) {
    helix_form const h{2, 0.3};
    law_data_ptr const helix = read_data(h.text(0, 9).c_str());
    law_ptr const foot = parse("CURVEPERP(HELIX1,VEC(3,1,X))", {helix.get()});
    for (double z : {0.5, 1.2}) {
        ZEM::vector const p(3, 1, z);
        double const t = value(*foot, z);
        EXPECT_NEAR((h.at(t) - p) % h.tangent(t), 0, 1e-9) << "the chord is across the tangent";
        double nearest = INFINITY;
        for (int i = 0; i <= 90000; ++i) nearest = std::min(nearest, dist(h.at(i * 1e-4), p));
        EXPECT_LE(dist(h.at(t), p), nearest + 1e-9) << "the nearest foot";
    }
    law_ptr const cur = parse("CUR(HELIX1)", {helix.get()});
    law_ptr const back = adopt(cur->inverse());
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text(), "CURVEPERP(HELIX1,VEC(X,X2,X3))");
    ZEM::vector const on = h.at(4.2);
    double const q[3] = {on.x(), on.y(), on.z()};
    EXPECT_NEAR(back->evaluateM_R(q), 4.2, 1e-9);

    law_data_ptr const sphere = read_data("SPHERE radius 2");
    law_ptr const surf = parse("SURF(SPHERE1)", {sphere.get()});
    law_ptr const uv = adopt(surf->inverse());
    ASSERT_TRUE(uv);
    EXPECT_EQ(uv->return_dim(), 2);
    double const p[3] = {1, 2, 2};
    ZEM::par_pos const f = uv->evaluateM_PP(p);
    EXPECT_NEAR(f.u, std::atan2(2.0, 1.0), 1e-9);
    EXPECT_NEAR(f.v, std::asin(2.0 / 3), 1e-9);
}

TEST_F(DataLaws, SelfDistanceMeasuresOfACircle) {
    double const r = 2;
    law_data_ptr const circle = read_data("CIRCLE major (2, 0, 0)");
    law_ptr const curi = parse("CURI(CIRCLE1)", {circle.get()});
    law_ptr const curd = parse("CURD(CIRCLE1)", {circle.get()});
    double const same[2] = {1.3, 1.3};
    EXPECT_EQ(curi->evaluateM_R(same), 1e10);
    double const st[2] = {0.4, 2.9};
    double const gap = st[0] - st[1];
    EXPECT_NEAR(curi->evaluateM_R(st), 2 * r * r * (1 - std::cos(gap)) / (gap * gap), 1e-14);
    EXPECT_NEAR(curd->evaluateM_R(st), 2 * r * std::sin(std::fabs(gap) / 2), 1e-14);
}

TEST_F(DataLaws, ParameterCurvesGiveTwoValuesAndTheCurvatureOfTheirTrace) {
    double const R = 3, v0 = 0.6;
    std::string const text =
        "UVLINE root (0, " + exact(v0) + ") dir (1, 0) [0, 6] on {SPHERE radius 3}";
    law_data_ptr const latitude = read_data(text.c_str());
    law_ptr const pcur = parse("PCUR(UVLINE1)", {latitude.get()});
    EXPECT_EQ(pcur->return_dim(), 2);
    double const two = 2;
    ZEM::par_pos const at = pcur->evaluateM_PP(&two);
    EXPECT_EQ(at.u, 2.0);
    EXPECT_NEAR(at.v, v0, 1e-15);
    EXPECT_EQ(adopt(pcur->derivative(0))->text(), "DPCUR(UVLINE1,1)");
    // A circle of latitude v0 has radius R cos v0.
    law_ptr const k = parse("CURC(UVLINE1)", {latitude.get()});
    EXPECT_NEAR(value(*k, 1.0), 1 / (R * std::cos(v0)), 1e-12);
}

TEST_F(DataLaws, WiresPatternsAndTransforms) {
    law_data_ptr const chain = read_data(
        "CHAIN {LINE root (-1, 0, 0) dir (1, 0, 0) [0, 1]} {CIRCLE major (1, 0, 0) [0, 3]}");
    law_ptr const wire = parse("WIRE(CHAIN1)", {chain.get()});
    EXPECT_LT(dist(wire->evaluateR_V(0.25), ZEM::vector(-0.75, 0, 0)), 1e-15);
    EXPECT_LT(dist(wire->evaluateR_V(2.5), ZEM::vector(std::cos(1.5), std::sin(1.5), 0)), 1e-15);
    law_ptr const dwire = adopt(wire->derivative(0));
    EXPECT_EQ(dwire->text(), "DWIRE(CHAIN1,1)");
    EXPECT_LT(dist(dwire->evaluateR_V(2.5), ZEM::vector(-std::sin(1.5), std::cos(1.5), 0)), 1e-15);
    // The joint belongs to the segment after it, or before it from below.
    int const below = -1;
    EXPECT_LT(dist(dwire->evaluateR_V(1.0, below), ZEM::vector(1, 0, 0)), 1e-15);
    EXPECT_LT(dist(dwire->evaluateR_V(1.0), ZEM::vector(0, 1, 0)), 1e-15);

    law_data_ptr const pattern = read_data("LINEAR_PATTERN along (1, 2, 0) [0, 4]");
    law_ptr const pt = parse("PATTRANS(LINEAR_PATTERN1)", {pattern.get()});
    EXPECT_EQ(pt->return_dim(), 13);
    double const two = 2;
    ZEM::position const moved = ZEM::position(1, 1, 1) * pt->evaluateM_T(&two);
    EXPECT_LT(dist(moved - ZEM::origin, ZEM::vector(3, 5, 1)), 1e-15);

    // A quarter turn about Z, then a move by (0, 0, 5).
    law_data_ptr const turn =
        read_data("TRANSFORM x (0, 1, 0) y (-1, 0, 0) z (0, 0, 1) move (0, 0, 5)");
    law_ptr const moved_point = parse("TRANS(VEC(X,1,0),TRANSFORM1)", {turn.get()});
    EXPECT_LT(dist(moved_point->evaluateR_V(2), ZEM::vector(-1, 2, 5)), 1e-15);
    law_ptr const turned = parse("ROTATE(VEC(X,1,0),TRANSFORM1)", {turn.get()});
    EXPECT_LT(dist(turned->evaluateR_V(2), ZEM::vector(-1, 2, 0)), 1e-15);
    law_ptr const d = adopt(moved_point->derivative(0));
    EXPECT_EQ(d->text(), "ROTATE(VEC(1,0,0),TRANSFORM1)");
    int has = 0;
    ZEM::transf const *t = static_cast<transform_law const *>(moved_point.get())->get_trans(has);
    EXPECT_EQ(has, 1);
    EXPECT_EQ(t->translation(), ZEM::vector(0, 0, 5));
}

TEST_F(DataLaws, PlanarAndLinearCurves) {
    law_data_ptr const circle = read_data("CIRCLE centre (0, 0, 2) axis (1, 1, 0) major (0, 0, 1)");
    law_data_ptr const line = read_data("LINE root (1, 1, 1) dir (0, 3, 4) [0, 2]");
    law_ptr const round = parse("CUR(CIRCLE1)", {circle.get()});
    auto const &c = static_cast<curve_law const &>(*round);
    ZEM::position p;
    ZEM::unit_vector n;
    ASSERT_TRUE(c.is_planar(p, n));
    EXPECT_NEAR(std::fabs(n % ZEM::unit_vector(1, 1, 0)), 1, 1e-12);
    EXPECT_NEAR((p - ZEM::position(0, 0, 2)) % n, 0, 1e-12);
    EXPECT_FALSE(c.is_linear(p, n));
    law_data_ptr const helix = read_data("HELIX");
    law_ptr const spiral = parse("CUR(HELIX1)", {helix.get()});
    EXPECT_FALSE(static_cast<curve_law const &>(*spiral).is_planar(p, n));
    law_ptr const l = parse("CUR(LINE1)", {line.get()});
    auto const &cl = static_cast<curve_law const &>(*l);
    ASSERT_TRUE(cl.is_linear(p, n));
    EXPECT_NEAR(std::fabs(n % ZEM::unit_vector(0, 3, 4)), 1, 1e-12);
    ZEM::position *points = cl.get_points_on_curve(5);
    EXPECT_EQ(points[0], ZEM::position(1, 1, 1));
    EXPECT_LT(dist(points[4] - ZEM::origin, ZEM::vector(1, 7, 9)), 1e-15);
    delete[] points;
}

TEST_F(DataLaws, MapLawReparametrisesOntoTheUnitInterval) {
    law_ptr const f = parse("X^2", {});
    law_data_ptr const wrapped = adopt<law_data>(new law_law_data(f.get()));
    law_data_ptr const line =
        adopt<law_data>(new line_law_data(ZEM::origin, ZEM::vector(1, 0, 0), 2, 4));
    law_data *data[] = {wrapped.get(), line.get()};
    law_ptr const m = make_law<map_law>(data, 2);
    EXPECT_DOUBLE_EQ(m->eval(0.5), 9);
    law_ptr const dm = adopt(m->derivative(0));
    EXPECT_NEAR(dm->eval(0.5), 2 * 2 * 3, 1e-12);
    law_data *wrong[] = {line.get(), wrapped.get()};
    EXPECT_LAW_ERROR(make_law<map_law>(wrong, 2), LAW_DATA_UNKNOWN);
}

TEST_F(DataLaws, EveryLawPrintsAndReadsBack) {
    law_data_ptr const line = read_data("LINE");
    law_data_ptr const helix = read_data("HELIX major (2, 0, 0) pitch 3 [0, 12]");
    law_data_ptr const sphere = read_data("SPHERE radius 2");
    law_data_ptr const chain = read_data("CHAIN {LINE} {LINE root (1, 0, 0) [0, 2]}");
    law_data_ptr const uvline = read_data("UVLINE dir (1, 1)");
    law_data_ptr const pattern =
        read_data("LINEAR_PATTERN along (1, 0, 0) [0, 3] along (0, 1, 0) [0, 2]");
    law_data_ptr const transform = read_data("TRANSFORM scale 2");
    struct {
        char const *text;
        law_data *data;
    } const cases[] = {
        {"CUR(LINE1)", line.get()},
        {"MTRAIL(HELIX1)", helix.get()},
        {"WIRE(CHAIN1)", chain.get()},
        {"PCUR(UVLINE1)", uvline.get()},
        {"SURF(SPHERE1)", sphere.get()},
        {"CURC(HELIX1)", helix.get()},
        {"GAUSCUR(SPHERE1)", sphere.get()},
        {"MEANCUR(SPHERE1)", sphere.get()},
        {"MAXCUR(SPHERE1)", sphere.get()},
        {"MINCUR(SPHERE1)", sphere.get()},
        {"BS(SPHERE1)", sphere.get()},
        {"CURI(HELIX1)", helix.get()},
        {"CURD(HELIX1)", helix.get()},
        {"PATTRANS(LINEAR_PATTERN1)", pattern.get()},
        {"DCUR(HELIX1,2)", helix.get()},
        {"DWIRE(CHAIN1,1)", chain.get()},
        {"DPCUR(UVLINE1,1)", uvline.get()},
        {"DSURF(SPHERE1,1,2)", sphere.get()},
        {"TRANS(VEC(X,Y,1),TRANSFORM1)", transform.get()},
        {"ROTATE(VEC(X,Y,1),TRANSFORM1)", transform.get()},
        {"CURVEPERP(HELIX1,VEC(X,Y,1))", helix.get()},
        {"CURVEPERP(HELIX1,VEC(X,Y,1),X)", helix.get()},
        {"SURFPERP(SPHERE1,VEC(X,Y,1))", sphere.get()},
        {"LENGTH(HELIX1,X,Y)", helix.get()},
        {"LENGTH_PARAM(HELIX1,X,Y)", helix.get()},
    };
    for (auto const &c : cases) {
        law_ptr const l = parse(c.text, {c.data});
        ASSERT_TRUE(l);
        EXPECT_EQ(l->text(), c.text);
        law_ptr const back = parse(l->text().c_str(), {c.data});
        EXPECT_TRUE(back && *back == *l) << c.text;
    }
    // The law data read back from their print.
    for (law_data const *d : {line.get(), helix.get(), sphere.get(), chain.get(), uvline.get(),
                              pattern.get(), transform.get()}) {
        std::string const text = law_data_text(*d);
        law_data_ptr const back = read_data(text.c_str());
        ASSERT_TRUE(back);
        EXPECT_EQ(law_data_text(*back), text);
    }
    for (law_data const *d :
         {line.get(), chain.get(), uvline.get(), pattern.get(), transform.get()})
        EXPECT_TRUE(*read_data(law_data_text(*d).c_str()) == *d) << law_data_text(*d);
}

namespace {
// A straight curve over the whole real line that gives only two derivatives.
class endless_line : public base_curve_law_data {
  public:
    endless_line() : base_curve_law_data(-INFINITY, INFINITY) {}
    char const *symbol(law_symbol_type) const override { return "ENDLESS"; }
    law_data *deep_copy(pointer_map *) const override { return new endless_line; }
    ZEM::vector eval(double t, int n, int) const override {
        if (n > 2) law_error(LAW_DATA_CURVE);
        return n == 0 ? ZEM::vector(t, 0, 0) : n == 1 ? ZEM::vector(1, 0, 0) : ZEM::vector();
    }
    double curvature(double) const override { return 0; }
    double length_param(double s, double l) const override { return s + l; }
    double length(double s, double e) const override { return e - s; }
    double point_perp(ZEM::position const &p, double) const override { return p.x(); }
    double point_perp(ZEM::position const &p) const override { return p.x(); }
};
}  // namespace

TEST_F(DataLaws, BadInputGivesLawutilErrorsAndLeaksNothing) {
    law_data_ptr const line = read_data("LINE");
    law_data_ptr const sphere = read_data("SPHERE");
    law_data_ptr const turn = read_data("TRANSFORM");
    law_data_ptr const endless = adopt<law_data>(new endless_line);
    EXPECT_LAW_ERROR(curve_law c(sphere.get()), LAW_DATA_UNKNOWN);
    EXPECT_LAW_ERROR(surface_law s(line.get()), LAW_DATA_UNKNOWN);
    struct {
        char const *text;
        law_data *data;
        char const *message;
    } const refused[] = {
        {"CUR(SPHERE1)", sphere.get(), "CUR: LAW_DATA_UNKNOWN: Unknown law_data type"},
        {"DCUR(LINE1,-1)", line.get(),
         "DCUR: LAW_DATA_CURVE: Law_data_curve eval too many derivatives"},
        {"DCUR(LINE1,0.5)", line.get(),
         "DCUR: LAW_DATA_CURVE: Law_data_curve eval too many derivatives"},
        {"DCUR(LINE1,X)", line.get(),
         "DCUR: LAW_DATA_CURVE: Law_data_curve eval too many derivatives"},
        {"DCUR(LINE1)", line.get(), "DCUR: LAW_DATA_UNKNOWN: Unknown law_data type (1 law data)"},
        {"TRANS(VEC(X,Y),TRANSFORM1)", turn.get(), "TRANS: LAW_DIM: Bad law dimensions"},
        {"TRANS(LINE1,TRANSFORM1)", line.get(), "TRANS: LAW_DATA_UNKNOWN: Unknown law_data type"},
        {"LENGTH(LINE1,X)", line.get(), "LENGTH: LAW_DATA_UNKNOWN: Unknown law_data type"},
    };
    for (auto const &r : refused) {
        law_data *data[1] = {r.data};
        EXPECT_FALSE(adopt(str_to_law(r.text, data, 1))) << r.text;
        EXPECT_STREQ(TEST_get_error(), r.message) << r.text;
    }
    // Orders the law data cannot give, and a range that cannot be sampled.
    law_ptr const cur = make_law<curve_law>(endless.get());
    int const orders[1] = {3};
    law_ptr const third = adopt(make_data_derivative(law_id::dcurve_law, endless.get(), orders));
    EXPECT_LAW_ERROR(third->evaluateR_V(1.0), LAW_DATA_CURVE);
    EXPECT_LAW_ERROR(delete[] static_cast<curve_law const &>(*cur).get_points_on_curve(7),
                     LAW_BAD_DOMAN);
    EXPECT_LAW_ERROR(delete[] static_cast<curve_law const &>(*cur).get_points_on_curve(1), LAW_DIM);
    // Texts that describe no law data.
    struct {
        char const *text, *message;
    } const unreadable[] = {
        {"NOPE", "law data name expected at 'NOPE'"},
        {"HELIX pitch", "'pitch' has no value after it"},
        {"HELIX garbage", "'garbage' has no value after it"},
        {"LINE root (1, 2, 3) dir", "'dir' has no value after it"},
        {"CHAIN {LINE root}", "'root' has no value after it"},
        {"LINE dir (0, 0, 0)", "LINE: LAW_DIM: Bad law dimensions"},
        {"LINE colour 3", "LINE takes no 'colour'"},
        {"LINE root (1, 2)", "LINE: 'root' has the wrong form"},
        {"CHAIN {SPHERE}", "CHAIN: LAW_DATA_UNKNOWN: Unknown law_data type"},
        {"CHAIN", "CHAIN: LAW_DATA_UNKNOWN: Unknown law_data type"},
        {"TRANSFORM scale 0", "TRANSFORM: LAW_DIM: Bad law dimensions"},
        {"LINE [0, 1] [2, 3]", "LINE takes no further value"},
    };
    for (auto const &u : unreadable) {
        EXPECT_FALSE(adopt(read_law_data(u.text))) << u.text;
        EXPECT_STREQ(TEST_get_error(), u.message) << u.text;
    }
}
