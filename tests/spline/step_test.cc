// STEP files of splines read back by the tests' own reader of the exchange structure: every
// reference resolves, the part, its contexts and units are there, and the B-spline entities
// carry the curve's or surface's numbers unchanged. A circle and a cylinder written as rational
// splines and evaluated from the file's numbers alone lie on the circle and the cylinder.
#include <cmath>
#include <memory>
#include <random>

#include "law_test.h"
#include "spline/spline_test_util.h"
#include "spline/step_reader.h"

namespace {

using step_test::file;
using step_test::instance;
using step_test::record;
using step_test::value;

std::vector<double> reals_of(value const &list) {
    std::vector<double> out;
    for (auto const &v : list.items) out.push_back(v.as_real());
    return out;
}

// The knot vector of a multiplicity list and a knot list.
std::vector<double> expand(value const &mults, value const &knots) {
    std::vector<double> out;
    EXPECT_EQ(mults.items.size(), knots.items.size());
    for (std::size_t i = 0; i < knots.items.size(); ++i) {
        EXPECT_EQ(mults.items[i].kind, value::integer);
        for (int m = 0; m < static_cast<int>(mults.items[i].real); ++m)
            out.push_back(knots.items[i].real);
    }
    return out;
}

ZEM::position point_at(file const &f, value const &ref) {
    EXPECT_EQ(ref.kind, value::reference);
    record const *p = f.at(ref.ref).part("CARTESIAN_POINT");
    EXPECT_NE(p, nullptr);
    auto const xyz = reals_of(p->params[1]);
    EXPECT_EQ(xyz.size(), 3u);
    return {xyz[0], xyz[1], xyz[2]};
}

// The one instance with a record of that keyword.
instance const &only(file const &f, std::string const &keyword) {
    auto const found = f.find(keyword);
    EXPECT_EQ(found.size(), 1u) << keyword;
    return f.at(found.at(0));
}

// The part around the geometry: product, definition and shape, the representation of the given
// kind holding the items in its geometric set, in a context of millimetres, radians and
// steradians with the distance resolution as its uncertainty.
void expect_part(file const &f, char const *representation, char const *set,
                 std::vector<int> const &items) {
    EXPECT_TRUE(step_test::dangling_refs(f).empty());
    ASSERT_EQ(f.header.size(), 3u);
    EXPECT_EQ(f.header[2].records[0].keyword, "FILE_SCHEMA");
    EXPECT_EQ(f.header[2].records[0].params[0].items.at(0).text,
              "AUTOMOTIVE_DESIGN { 1 0 10303 214 1 1 1 1 }");

    auto const &sdr_params = only(f, "SHAPE_DEFINITION_REPRESENTATION").records[0].params;
    record const *pds = f.at(sdr_params[0].ref).part("PRODUCT_DEFINITION_SHAPE");
    ASSERT_NE(pds, nullptr);
    record const *pd = f.at(pds->params[2].ref).part("PRODUCT_DEFINITION");
    ASSERT_NE(pd, nullptr);
    record const *pdf = f.at(pd->params[2].ref).part("PRODUCT_DEFINITION_FORMATION");
    ASSERT_NE(pdf, nullptr);
    EXPECT_NE(f.at(pdf->params[2].ref).part("PRODUCT"), nullptr);

    record const *rep = f.at(sdr_params[1].ref).part(representation);
    ASSERT_NE(rep, nullptr) << representation;
    bool found_set = false;
    for (auto const &item : rep->params[1].items) {
        record const *s = f.at(item.ref).part(set);
        if (!s) continue;
        found_set = true;
        std::vector<int> held;
        for (auto const &e : s->params[1].items) held.push_back(e.ref);
        EXPECT_EQ(held, items);
    }
    EXPECT_TRUE(found_set) << set;

    instance const &context = f.at(rep->params[2].ref);
    EXPECT_TRUE(context.complex);
    ASSERT_NE(context.part("GEOMETRIC_REPRESENTATION_CONTEXT"), nullptr);
    EXPECT_EQ(context.part("GEOMETRIC_REPRESENTATION_CONTEXT")->params[0].real, 3);
    std::vector<std::string> units;
    for (auto const &u : context.part("GLOBAL_UNIT_ASSIGNED_CONTEXT")->params[0].items) {
        record const *si = f.at(u.ref).part("SI_UNIT");
        ASSERT_NE(si, nullptr);
        units.push_back((si->params[0].kind == value::enumeration ? si->params[0].text : "") + " " +
                        si->params[1].text);
    }
    EXPECT_EQ(units, (std::vector<std::string>{"MILLI METRE", " RADIAN", " STERADIAN"}));
    auto const &uncertainties = context.part("GLOBAL_UNCERTAINTY_ASSIGNED_CONTEXT")->params[0];
    ASSERT_EQ(uncertainties.items.size(), 1u);
    record const *u = f.at(uncertainties.items[0].ref).part("UNCERTAINTY_MEASURE_WITH_UNIT");
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->params[0].text, "LENGTH_MEASURE");
    EXPECT_EQ(u->params[0].items[0].real, get_resabs());
}

class Step : public LawTest {};

}  // namespace

TEST_F(Step, FittedCurveKeepsItsNumbers) {
    law_ptr const helix = adopt(str_to_law("VEC(COS(X), SIN(X), 0.2*X)"));
    std::unique_ptr<sw_curve> const c(law_to_sw_curve(helix.get(), ZEM::interval(0, 6), 1e-6));
    step_writer w("helix.stp", "2026-12-06T12:00:00", "it's a helix");
    int const id = add_step_curve(w, *c, "HELIX");
    file const f = step_test::read(w.text());
    expect_part(f, "GEOMETRICALLY_BOUNDED_WIREFRAME_SHAPE_REPRESENTATION", "GEOMETRIC_CURVE_SET",
                {id});
    record const *name = f.header[1].part("FILE_NAME");
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->params[0].text, "helix.stp");
    EXPECT_EQ(name->params[1].text, "2026-12-06T12:00:00");
    EXPECT_EQ(only(f, "PRODUCT").records[0].params[0].text, "it's a helix");

    instance const &curve = f.at(id);
    ASSERT_FALSE(curve.complex);
    ASSERT_EQ(curve.records[0].keyword, "B_SPLINE_CURVE_WITH_KNOTS");
    auto const &p = curve.records[0].params;
    ASSERT_EQ(p.size(), 9u);
    EXPECT_EQ(p[0].text, "HELIX");
    EXPECT_EQ(p[1].real, 3);
    ASSERT_EQ(p[2].items.size(), static_cast<std::size_t>(c->get_K()));
    for (int i = 0; i < c->get_K(); ++i) {
        double q[3];
        c->get_control_point(i, q);
        ZEM::position const read = point_at(f, p[2].items[i]);
        for (int k = 0; k < 3; ++k) EXPECT_EQ(read[k], q[k]) << i;
    }
    EXPECT_EQ(p[3].text, "UNSPECIFIED");
    EXPECT_EQ(p[4].text, "F");
    std::vector<double> const knots = expand(p[6], p[7]);
    EXPECT_EQ(knots,
              std::vector<double>(c->get_knot_vector(), c->get_knot_vector() + c->get_num_knots()));
    // The fit's interior knots are double, the ends fourfold.
    EXPECT_EQ(p[6].items.front().real, 4);
    EXPECT_EQ(p[6].items.back().real, 4);
}

TEST_F(Step, RationalArcIsAComplexInstanceOnTheCircle) {
    // A third of the unit circle as one rational quadratic span: the middle weight cos(60 deg).
    double const a = 2 * M_PI / 3, h = std::cos(a / 2);
    double knots[6] = {0, 0, 0, 1, 1, 1}, weights[3] = {1, h, 1};
    double points[9] = {1,           0,           0, std::cos(a / 2) / h, std::sin(a / 2) / h, 0,
                        std::cos(a), std::sin(a), 0};
    sw_curve const arc(3, 2, 1, 0, 0, 0, knots, weights, points, 0, 1, nullptr);
    step_writer w("arc.stp", "2026-12-06T12:00:00");
    int const id = add_step_curve(w, arc);
    file const f = step_test::read(w.text());
    expect_part(f, "GEOMETRICALLY_BOUNDED_WIREFRAME_SHAPE_REPRESENTATION", "GEOMETRIC_CURVE_SET",
                {id});
    instance const &curve = f.at(id);
    ASSERT_TRUE(curve.complex);
    std::vector<std::string> keywords;
    for (auto const &r : curve.records) keywords.push_back(r.keyword);
    EXPECT_EQ(keywords, (std::vector<std::string>{
                            "BOUNDED_CURVE", "B_SPLINE_CURVE", "B_SPLINE_CURVE_WITH_KNOTS", "CURVE",
                            "GEOMETRIC_REPRESENTATION_ITEM", "RATIONAL_B_SPLINE_CURVE",
                            "REPRESENTATION_ITEM"}));
    auto const &bs = curve.part("B_SPLINE_CURVE")->params;
    auto const &wk = curve.part("B_SPLINE_CURVE_WITH_KNOTS")->params;
    std::vector<double> const read_weights =
        reals_of(curve.part("RATIONAL_B_SPLINE_CURVE")->params[0]);
    EXPECT_EQ(read_weights, std::vector<double>(weights, weights + 3));

    // The curve as the file gives it, evaluated by the basis functions: on the unit circle, and
    // its middle at 60 degrees.
    std::vector<double> const k = expand(wk[0], wk[1]);
    std::vector<ZEM::position> P;
    for (auto const &ref : bs[1].items) P.push_back(point_at(f, ref));
    auto at = [&](double t) {
        ZEM::vector sum(0, 0, 0);
        double wsum = 0;
        for (int i = 0; i < 3; ++i) {
            double const b = reference_surface::basis(k, i, 2, t, true) * read_weights[i];
            sum = sum + (P[i] - ZEM::origin) * b;
            wsum += b;
        }
        return ZEM::origin + sum / wsum;
    };
    for (int i = 0; i <= 50; ++i) {
        ZEM::position const q = at(i / 50.0);
        EXPECT_NEAR(std::hypot(q.x(), q.y()), 1, 1e-15) << i;
        EXPECT_EQ(q.z(), 0);
    }
    ZEM::position const mid = at(0.5);
    EXPECT_NEAR(mid.x(), 0.5, 1e-15);
    EXPECT_NEAR(mid.y(), std::sqrt(0.75), 1e-15);
}

TEST_F(Step, SurfaceNetRunsAlongTInsideEachRowOfS) {
    // A random rational net: the file's numbers, read by the reference evaluator, give the
    // surface's points.
    std::mt19937 rng(33);
    reference_surface const r = random_reference(rng, 3, 2, 6, 5, true);
    std::vector<double> k1 = r.knots1, k2 = r.knots2, wts = r.weights;
    std::vector<ZEM::position> pts = r.points;
    sw_surface S(r.K1, r.K2, r.degree1, r.degree2, 0, 0, 0, 0, 0, k1.data(), k2.data(), wts.data(),
                 pts.data(), 0, 1, 0, 1);
    step_writer w("net.stp", "2026-12-06T12:00:00");
    int const id = add_step_surface(w, S, "NET");
    file const f = step_test::read(w.text());
    expect_part(f, "GEOMETRICALLY_BOUNDED_SURFACE_SHAPE_REPRESENTATION", "GEOMETRIC_SET", {id});
    instance const &in = f.at(id);
    ASSERT_TRUE(in.complex);
    auto const &bs = in.part("B_SPLINE_SURFACE")->params;
    auto const &wk = in.part("B_SPLINE_SURFACE_WITH_KNOTS")->params;
    auto const &rw = in.part("RATIONAL_B_SPLINE_SURFACE")->params[0];
    reference_surface read{static_cast<int>(bs[2].items.size()),
                           static_cast<int>(bs[2].items.at(0).items.size()),
                           static_cast<int>(bs[0].real),
                           static_cast<int>(bs[1].real),
                           expand(wk[0], wk[2]),
                           expand(wk[1], wk[3]),
                           {},
                           {}};
    ASSERT_EQ(read.K1, r.K1);
    ASSERT_EQ(read.K2, r.K2);
    read.points.resize(static_cast<std::size_t>(read.K1 * read.K2));
    read.weights.resize(read.points.size());
    for (int i = 0; i < read.K1; ++i)
        for (int j = 0; j < read.K2; ++j) {
            read.points[read.K1 * j + i] = point_at(f, bs[2].items[i].items.at(j));
            read.weights[read.K1 * j + i] = rw.items.at(i).items.at(j).as_real();
        }
    EXPECT_EQ(read.knots1, r.knots1);
    EXPECT_EQ(read.knots2, r.knots2);
    EXPECT_EQ(read.weights, r.weights);
    for (int b = 0; b <= 10; ++b)
        for (int a = 0; a <= 10; ++a) {
            ZEM::position P;
            S.eval(a / 10.0, b / 10.0, &P);
            EXPECT_LT((read.eval(a / 10.0, b / 10.0) - P).len(), 1e-12);
        }
}

TEST_F(Step, CylinderPatchFromTheFileLiesOnTheCylinder) {
    // A quarter of the cylinder x^2 + y^2 = 4 from z = -1 to 3: a rational quadratic in s, a
    // line in t; then a fitted saddle beside it, a polynomial net in the same file.
    double const h = std::sqrt(0.5);
    double k1[6] = {0, 0, 0, 1, 1, 1}, k2[4] = {0, 0, 1, 1}, wts[6] = {1, h, 1, 1, h, 1};
    ZEM::position pts[6] = {{2, 0, -1}, {2, 2, -1}, {0, 2, -1}, {2, 0, 3}, {2, 2, 3}, {0, 2, 3}};
    sw_surface const cyl(3, 2, 2, 1, 0, 0, 0, 0, 0, k1, k2, wts, pts, 0, 1, 0, 1);
    law_ptr const saddle = adopt(str_to_law("VEC(X,Y,X^2-Y^2)"));
    double achieved = 0;
    std::unique_ptr<sw_surface> const fitted(law_to_sw_surface(
        saddle.get(), ZEM::interval(-1, 1), ZEM::interval(-1, 1), 1e-4, achieved));
    step_writer w("cyl.stp", "2026-12-06T12:00:00");
    int const a = add_step_surface(w, cyl);
    int const b = add_step_surface(w, *fitted);
    file const f = step_test::read(w.text());
    expect_part(f, "GEOMETRICALLY_BOUNDED_SURFACE_SHAPE_REPRESENTATION", "GEOMETRIC_SET", {a, b});
    EXPECT_TRUE(f.at(a).complex);
    ASSERT_FALSE(f.at(b).complex);
    auto const &plain = f.at(b).records[0];
    EXPECT_EQ(plain.keyword, "B_SPLINE_SURFACE_WITH_KNOTS");
    EXPECT_EQ(expand(plain.params[8], plain.params[10]),
              std::vector<double>(fitted->get_knot_vector1(),
                                  fitted->get_knot_vector1() + fitted->get_num_knots1()));

    instance const &in = f.at(a);
    auto const &bs = in.part("B_SPLINE_SURFACE")->params;
    auto const &wk = in.part("B_SPLINE_SURFACE_WITH_KNOTS")->params;
    auto const &rw = in.part("RATIONAL_B_SPLINE_SURFACE")->params[0];
    reference_surface read{3, 2, 2, 1, expand(wk[0], wk[2]), expand(wk[1], wk[3]), {}, {}};
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) {
            read.points.push_back(point_at(f, bs[2].items[i].items[j]));
            read.weights.push_back(rw.items[i].items[j].as_real());
        }
    for (int j = 0; j <= 8; ++j)
        for (int i = 0; i <= 8; ++i) {
            ZEM::position const q = read.eval(i / 8.0, j / 8.0);
            EXPECT_NEAR(std::hypot(q.x(), q.y()), 2, 1e-14);
            EXPECT_NEAR(q.z(), -1 + 4 * j / 8.0, 1e-14);
        }
}

TEST_F(Step, NarrowerRangesAreTrimmedAndBadPointsRefused) {
    double knots[8] = {0, 0, 0, 0, 1, 1, 1, 1};
    double points[12] = {0, 0, 0, 1, 2, 0, 2, -1, 0, 3, 0, 1};
    sw_curve const c(4, 3, 0, 0, 1, 0, knots, nullptr, points, 0.25, 0.75, nullptr);
    step_writer w("trim.stp", "2026-12-06T12:00:00");
    int const id = add_step_curve(w, c, "PIECE");
    file const f = step_test::read(w.text());
    record const *trim = f.at(id).part("TRIMMED_CURVE");
    ASSERT_NE(trim, nullptr);
    EXPECT_NE(f.at(trim->params[1].ref).part("B_SPLINE_CURVE_WITH_KNOTS"), nullptr);
    EXPECT_EQ(trim->params[2].items.at(0).text, "PARAMETER_VALUE");
    EXPECT_EQ(trim->params[2].items[0].items.at(0).real, 0.25);
    EXPECT_EQ(trim->params[3].items[0].items.at(0).real, 0.75);
    EXPECT_EQ(trim->params[5].text, "PARAMETER");

    points[4] = std::nan("");
    sw_curve const bad(4, 3, 0, 0, 1, 0, knots, nullptr, points, 0, 1, nullptr);
    step_writer w2("bad.stp");
    EXPECT_LAW_ERROR(add_step_curve(w2, bad), LAW_BAD_RANGE);

    // Names of any bytes stay strings of the format.
    step_writer w3("odd 'name'\\\xC3\xA9.stp", "2026-12-06T12:00:00");
    file const g = step_test::read(w3.text());
    EXPECT_EQ(g.header[1].part("FILE_NAME")->params[0].text, "odd 'name'\\\\\\X\\C3\\X\\A9.stp");
    EXPECT_TRUE(g.find("GEOMETRIC_SET").empty());
    EXPECT_EQ(g.find("SHAPE_REPRESENTATION").size(), 1u);
}
