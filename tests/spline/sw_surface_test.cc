#include <law/spline/sw_surface.h>

#include <random>
#include <string>

#include "law_test.h"
#include "spline/spline_test_util.h"

namespace {

class SwSurface : public LawTest {};

sw_surface *make_surface(reference_surface &r, bool rational) {
    return new sw_surface(r.K1, r.K2, r.degree1, r.degree2, 0, 0, rational ? 0 : 1, 0, 0,
                          r.knots1.data(), r.knots2.data(), r.weights.data(), r.points.data(), 0, 1,
                          0, 1);
}

double gap(ZEM::position const &a, ZEM::position const &b) { return (a - b).len(); }
double gap(ZEM::vector const &a, ZEM::vector const &b) { return (a - b).len(); }

}  // namespace

TEST_F(SwSurface, MatchesTensorProductDeBoorOnRandomNets) {
    std::mt19937 rng(16);
    std::uniform_real_distribution<double> u(0, 1);
    for (int degree1 = 1; degree1 <= 4; ++degree1)
        for (int degree2 = 1; degree2 <= 4; ++degree2)
            for (bool rational : {false, true}) {
                reference_surface r =
                    random_reference(rng, degree1, degree2, degree1 + 4, degree2 + 3, rational);
                std::unique_ptr<sw_surface> S(make_surface(r, rational));
                for (int n = 0; n < 200; ++n) {
                    double const s = u(rng), t = u(rng);
                    ZEM::position P;
                    S->eval(s, t, &P);
                    EXPECT_LT(gap(P, r.eval(s, t)), 1e-12)
                        << degree1 << "x" << degree2 << " rational " << rational;
                }
                // The corners, where the search meets the ends of the knot range.
                for (double s : {0.0, 1.0})
                    for (double t : {0.0, 1.0}) {
                        ZEM::position P;
                        S->eval(s, t, &P);
                        EXPECT_LT(gap(P, r.eval(s, t)), 1e-12);
                    }
            }
}

TEST_F(SwSurface, DerivativesMatchDifferencesOfTheReference) {
    std::mt19937 rng(61);
    std::uniform_real_distribution<double> u(0.02, 0.98);
    double const h = 1e-4;
    for (int degree1 : {1, 2, 3})
        for (int degree2 : {2, 3})
            for (bool rational : {false, true}) {
                reference_surface r =
                    random_reference(rng, degree1, degree2, degree1 + 3, degree2 + 2, rational);
                std::unique_ptr<sw_surface> S(make_surface(r, rational));
                for (int n = 0; n < 60; ++n) {
                    double const s = u(rng), t = u(rng);
                    // Stay inside one span, so the differences see one polynomial piece.
                    auto in_span = [](std::vector<double> const &k, double x) {
                        for (double knot : k)
                            if (std::abs(knot - x) < 3e-4) return false;
                        return true;
                    };
                    if (!in_span(r.knots1, s) || !in_span(r.knots2, t)) continue;
                    ZEM::position P;
                    ZEM::vector Ps, Pt, Pss, Pst, Ptt;
                    S->eval_derivatives(s, t, &P, &Ps, &Pt, &Pss, &Pst, &Ptt);
                    auto f = [&](double a, double b) { return r.eval(a, b) - ZEM::origin; };
                    ZEM::vector const ds = (f(s + h, t) - f(s - h, t)) / (2 * h);
                    ZEM::vector const dt = (f(s, t + h) - f(s, t - h)) / (2 * h);
                    ZEM::vector const dss = (f(s + h, t) - f(s, t) * 2 + f(s - h, t)) / (h * h);
                    ZEM::vector const dtt = (f(s, t + h) - f(s, t) * 2 + f(s, t - h)) / (h * h);
                    ZEM::vector const dst =
                        (f(s + h, t + h) - f(s + h, t - h) - f(s - h, t + h) + f(s - h, t - h)) /
                        (4 * h * h);
                    // The differences err by h^2 times third derivatives, which follow the
                    // second ones on short spans.
                    double const scale2 = 1 + Pss.len() + Pst.len() + Ptt.len();
                    double const scale = 1 + Ps.len() + Pt.len() + scale2;
                    EXPECT_LT(gap(P, r.eval(s, t)), 1e-12);
                    EXPECT_LT(gap(Ps, ds), 1e-6 * scale);
                    EXPECT_LT(gap(Pt, dt), 1e-6 * scale);
                    EXPECT_LT(gap(Pss, dss), 1e-3 * scale2);
                    EXPECT_LT(gap(Pst, dst), 1e-3 * scale2);
                    EXPECT_LT(gap(Ptt, dtt), 1e-3 * scale2);
                    if (degree1 == 1 && !rational) {
                        EXPECT_EQ(Pss, ZEM::null_vector);
                    }
                }
            }
}

TEST_F(SwSurface, PowerBasisPathAgreesWithTheBezierPath) {
    std::mt19937 rng(33);
    std::uniform_real_distribution<double> u(0, 1);
    reference_surface r = random_reference(rng, 3, 3, 7, 6, false);
    std::unique_ptr<sw_surface> power(make_surface(r, false));
    // The same net flagged rational with unit weights takes the Bezier patches.
    std::unique_ptr<sw_surface> bezier(make_surface(r, true));
    for (int n = 0; n < 5000; ++n) {
        double const s = u(rng), t = u(rng);
        ZEM::position P, Q;
        ZEM::vector d[5], e[5];
        power->eval(s, t, &P);
        bezier->eval(s, t, &Q);
        EXPECT_LT(gap(P, Q), 1e-12);
        power->eval_derivatives(s, t, &P, &d[0], &d[1], &d[2], &d[3], &d[4]);
        bezier->eval_derivatives(s, t, &Q, &e[0], &e[1], &e[2], &e[3], &e[4]);
        EXPECT_LT(gap(P, Q), 1e-12);
        for (int k = 0; k < 5; ++k) EXPECT_LT(gap(d[k], e[k]), 1e-8 * (1 + e[k].len()));
    }
}

TEST_F(SwSurface, BilinearSurfaceInterpolatesItsCorners) {
    double k[] = {0, 0, 1, 1};
    ZEM::position pts[] = {{0, 0, 0}, {2, 0, 1}, {0, 3, -1}, {2, 3, 4}};
    sw_surface S(2, 2, 1, 1, 0, 0, 1, 0, 0, k, k, nullptr, pts, 0, 1, 0, 1);
    for (double s : {0.0, 0.25, 0.7, 1.0})
        for (double t : {0.0, 0.4, 1.0}) {
            ZEM::position P;
            S.eval(s, t, &P);
            for (int c = 0; c < 3; ++c) {
                double const want = (1 - s) * (1 - t) * pts[0][c] + s * (1 - t) * pts[1][c] +
                                    (1 - s) * t * pts[2][c] + s * t * pts[3][c];
                EXPECT_NEAR(P[c], want, 1e-14);
            }
        }
}

TEST_F(SwSurface, PackedBlockCopiesAndControlPoints) {
    std::mt19937 rng(7);
    reference_surface r = random_reference(rng, 2, 1, 4, 3, true);
    std::unique_ptr<sw_surface> S(make_surface(r, true));
    EXPECT_EQ(S->get_data_size(), 7 + 5 + 4 * 12 + 4);
    EXPECT_EQ(S->get_K1(), 3);
    EXPECT_EQ(S->get_num_spans1(), 2);
    double const *block = S->get_IGES_DATA();
    int const points_at = 7 + 5 + 12;
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i) {
            ZEM::position p;
            S->get_control_point(i, j, p);
            EXPECT_EQ(p, r.points[4 * j + i]);
            EXPECT_EQ(block[points_at + 3 * (4 * j + i) + 1], r.points[4 * j + i].y());
            EXPECT_EQ(block[7 + 5 + 4 * j + i], r.weights[4 * j + i]);
        }
    std::unique_ptr<sw_surface> copy(S->copy_surface());
    ZEM::position a, b;
    S->eval(0.3, 0.6, &a);
    copy->eval(0.3, 0.6, &b);
    EXPECT_EQ(a, b);
    // Moving a point is seen by the next evaluation, and only by this surface.
    ZEM::position moved(10, 10, 10);
    S->set_control_point(1, 1, moved);
    r.points[4 + 1] = moved;
    S->eval(0.3, 0.6, &a);
    EXPECT_LT(gap(a, r.eval(0.3, 0.6)), 1e-12);
    copy->eval(0.3, 0.6, &a);
    EXPECT_EQ(a, b);
    sw_surface assigned = *copy;
    assigned = *S;
    assigned.eval(0.3, 0.6, &b);
    EXPECT_LT(gap(b, r.eval(0.3, 0.6)), 1e-12);
}

TEST_F(SwSurface, RangeIsClampedAndEnforced) {
    std::mt19937 rng(5);
    reference_surface r = random_reference(rng, 3, 3, 5, 5, false);
    // A stored range wider than the knots is clamped to them; a narrower one is kept.
    sw_surface S(5, 5, 3, 3, 0, 0, 1, 0, 0, r.knots1.data(), r.knots2.data(), nullptr,
                 r.points.data(), -1, 2, 0.25, 0.75);
    EXPECT_EQ(S.get_min_s(), 0);
    EXPECT_EQ(S.get_max_s(), 1);
    EXPECT_EQ(S.get_min_t(), 0.25);
    EXPECT_EQ(S.get_max_t(), 0.75);
    ZEM::position P;
    S.eval(1 + 0.5 * get_resabs(), 0.5, &P);
    EXPECT_LT(gap(P, r.eval(1, 0.5)), 1e-12);
    EXPECT_LAW_ERROR(S.eval(2, 0.5, &P), SW_SURFACE_EVAL);
    EXPECT_LAW_ERROR(S.eval(0.5, 0.8, &P), SW_SURFACE_EVAL);
    EXPECT_LAW_ERROR(S.eval_derivatives(0.5, -1, &P, nullptr, nullptr, nullptr, nullptr, nullptr),
                     SW_SURFACE_EVAL);
    EXPECT_LAW_ERROR(S.eval(std::nan(""), 0.5, &P), SW_SURFACE_EVAL);
    // The hints move back when the parameters do.
    S.eval(0.99, 0.7, &P);
    S.eval(0.01, 0.3, &P);
    EXPECT_LT(gap(P, r.eval(0.01, 0.3)), 1e-12);
}

TEST_F(SwSurface, DumpPrintsKnotsAndRows) {
    double k1[] = {0, 0, 0, 1, 1, 1}, k2[] = {0, 0, 1, 1};
    ZEM::position pts[6];
    for (int j = 0; j < 2; ++j)
        for (int i = 0; i < 3; ++i) pts[3 * j + i] = ZEM::position(i, j, i + j + 0.5);
    sw_surface S(3, 2, 2, 1, 0, 0, 1, 0, 0, k1, k2, nullptr, pts, 0, 1, 0, 1);
    std::string const out = captured([&] { S.debug(); });
    EXPECT_EQ(out,
              "#sw_surface info:\n#degree: 2 by 1\n#control points: 3 by 2\n#knots: 6 by 4\n"
              "#spans: 1 by 1\n"
              "             0.00             0.00             1.00\n"
              " 0.00 ( 0.00 0.00 0.50)( 1.00 0.00 1.50)( 2.00 0.00 2.50)\n"
              " 0.00 ( 0.00 1.00 1.50)( 1.00 1.00 2.50)( 2.00 1.00 3.50)\n");
}

TEST_F(SwSurface, BadShapesAreRefusedBeforeAnythingIsKept) {
    double k[] = {0, 0, 1, 1}, down[] = {0, 1, 0.5, 1}, nan[] = {0, 0, std::nan(""), 1};
    ZEM::position pts[4];
    EXPECT_LAW_ERROR(sw_surface(2, 2, 1, 1, 0, 0, 1, 0, 0, down, k, nullptr, pts, 0, 1, 0, 1),
                     SW_BAD_KNOTS);
    EXPECT_LAW_ERROR(sw_surface(2, 2, 1, 1, 0, 0, 1, 0, 0, k, nan, nullptr, pts, 0, 1, 0, 1),
                     SW_BAD_KNOTS);
    EXPECT_LAW_ERROR(sw_surface(2, 2, 2, 1, 0, 0, 1, 0, 0, k, k, nullptr, pts, 0, 1, 0, 1),
                     SW_BAD_ORDER);
    // A rational patch with a weight of zero, and a patch of more rows than the evaluation holds.
    double w[] = {1, 0, 1, 1};
    sw_surface zero(2, 2, 1, 1, 0, 0, 0, 0, 0, k, k, w, pts, 0, 1, 0, 1);
    ZEM::position P;
    EXPECT_LAW_ERROR(zero.eval(0.5, 0.5, &P), SW_BAD_WEIGHTS);
    bezier_patch tall;
    tall.init(2, bezier_patch::max_rows + 1, 0);
    EXPECT_LAW_ERROR(tall.eval(0.5, 0.5), SW_BAD_ORDER);
    bezier_patch none;
    EXPECT_LAW_ERROR(none.eval(0.5, 0.5), SW_BAD_ORDER);
}
