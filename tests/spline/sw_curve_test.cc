// The spline curve against an independent evaluation: de Boor's algorithm on the weighted
// control points, written here from its textbook form, with the derivative curves formed from
// differences of control points, and finite differences for the derivatives.
#include <array>
#include <atomic>
#include <cmath>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "law_test.h"

namespace {

using hpoint = std::array<double, 4>;  // x w, y w, z w, w

// Point of the B-spline of the given degree, knots and weighted points at t (de Boor).
hpoint de_boor(int degree, std::vector<double> const &knots, std::vector<hpoint> const &pts,
               double t) {
    int const K = static_cast<int>(pts.size());
    int k = degree;
    while (k < K - 1 && t >= knots[k + 1]) ++k;
    while (k > degree && knots[k + 1] - knots[k] <= 0) --k;
    std::vector<hpoint> d(pts.begin() + (k - degree), pts.begin() + (k + 1));
    for (int r = 1; r <= degree; ++r) {
        for (int j = degree; j >= r; --j) {
            int const i = j + k - degree;
            double const den = knots[i + degree + 1 - r] - knots[i];
            double const a = den > 0 ? (t - knots[i]) / den : 0;
            for (int c = 0; c < 4; ++c) d[j][c] = (1 - a) * d[j - 1][c] + a * d[j][c];
        }
    }
    return d[degree];
}

// The derivative curve: degree - 1, inner knots, control points p (H[i+1] - H[i]) / span.
void derivative_curve(int degree, std::vector<double> const &knots, std::vector<hpoint> const &pts,
                      std::vector<double> &dknots, std::vector<hpoint> &dpts) {
    dknots.assign(knots.begin() + 1, knots.end() - 1);
    dpts.clear();
    for (std::size_t i = 0; i + 1 < pts.size(); ++i) {
        double const den = knots[i + degree + 1] - knots[i + 1];
        hpoint q{};
        for (int c = 0; c < 4; ++c) q[c] = den > 0 ? degree * (pts[i + 1][c] - pts[i][c]) / den : 0;
        dpts.push_back(q);
    }
}

struct random_curve {
    int degree = 0;
    bool rational = false;
    std::vector<double> knots, weights, coords;

    explicit random_curve(std::mt19937 &rng) {
        std::uniform_int_distribution<int> deg(1, 5), extra(0, 7), mult(1, 3);
        std::uniform_real_distribution<double> unit(0, 1), coord(-10, 10), weight(0.2, 4);
        degree = deg(rng);
        int const K = degree + 1 + extra(rng);
        rational = unit(rng) < 0.5;
        // Clamped or not, with interior knots repeated up to the degree.
        double t = coord(rng);
        while (static_cast<int>(knots.size()) < K + degree + 1) {
            int const m = std::min(mult(rng), degree);
            for (int i = 0; i < m && static_cast<int>(knots.size()) < K + degree + 1; ++i) {
                knots.push_back(t);
            }
            t += 0.1 + unit(rng);
        }
        // Clamped ends, when the clamping leaves the curve a length.
        if (unit(rng) < 0.5 && knots[K] > knots[degree]) {
            for (int i = 0; i <= degree; ++i) knots[i] = knots[degree];
            for (int i = K; i < K + degree + 1; ++i) knots[i] = knots[K];
        }
        for (int i = 0; i < K; ++i) {
            weights.push_back(rational ? weight(rng) : 1.0);
            for (int c = 0; c < 3; ++c) coords.push_back(coord(rng));
        }
    }
    int K() const { return static_cast<int>(weights.size()); }
    sw_curve make() const {
        return sw_curve(K(), degree, 0, 0, rational ? 0 : 1, 0, knots.data(), weights.data(),
                        coords.data(), knots[degree], knots[K()], nullptr);
    }
    std::vector<hpoint> weighted() const {
        std::vector<hpoint> h;
        for (int i = 0; i < K(); ++i) {
            double const w = weights[i];
            h.push_back({coords[3 * i] * w, coords[3 * i + 1] * w, coords[3 * i + 2] * w, w});
        }
        return h;
    }
    // Position and derivatives by the quotient rule on the weighted curve and its derivatives.
    void reference(double t, ZEM::vector out[3]) const {
        std::vector<double> k1, k2;
        std::vector<hpoint> h1, h2;
        auto const h0 = weighted();
        derivative_curve(degree, knots, h0, k1, h1);
        hpoint a = de_boor(degree, knots, h0, t), a1{}, a2{};
        if (degree >= 1) a1 = de_boor(degree - 1, k1, h1, t);
        if (degree >= 2) {
            derivative_curve(degree - 1, k1, h1, k2, h2);
            a2 = de_boor(degree - 2, k2, h2, t);
        }
        auto vec = [](hpoint const &h) { return ZEM::vector(h[0], h[1], h[2]); };
        ZEM::vector const c = vec(a) / a[3];
        ZEM::vector const c1 = (vec(a1) - c * a1[3]) / a[3];
        ZEM::vector const c2 = (vec(a2) - c1 * (2 * a1[3]) - c * a2[3]) / a[3];
        out[0] = c;
        out[1] = c1;
        out[2] = c2;
    }
    bool near_interior_knot(double t) const {
        for (int i = degree + 1; i < K(); ++i) {
            if (std::fabs(t - knots[i]) < 1e-3) return true;
        }
        return false;
    }
};

double scale_of(ZEM::vector const &v) { return 1 + v.len(); }

}  // namespace

class SwCurve : public LawTest {};

TEST_F(SwCurve, MatchesDeBoorOnRandomCurvesWithRepeatedKnots) {
    std::mt19937 rng(15);
    std::uniform_real_distribution<double> unit(0, 1);
    int derivative_checks = 0;
    for (int trial = 0; trial < 300; ++trial) {
        random_curve const rc(rng);
        sw_curve const c = rc.make();
        double const a = rc.knots[rc.degree], b = rc.knots[rc.K()];
        if (!(b > a)) continue;  // a curve of no length: nothing to compare
        for (int s = 0; s < 20; ++s) {
            double const t = a + (b - a) * unit(rng);
            ZEM::vector ref[3];
            rc.reference(t, ref);
            ZEM::position p;
            ZEM::vector d1, d2;
            c.eval(t, &p, &d1, &d2);
            ASSERT_LT(((p - ZEM::origin) - ref[0]).len(), 1e-9 * scale_of(ref[0]))
                << "trial " << trial << " t " << t;
            if (rc.near_interior_knot(t)) continue;
            ++derivative_checks;
            EXPECT_LT((d1 - ref[1]).len(), 1e-8 * scale_of(ref[1])) << "trial " << trial;
            EXPECT_LT((d2 - ref[2]).len(), 1e-7 * scale_of(ref[2])) << "trial " << trial;
            // And the derivatives as central differences of the curve's own positions.
            double const h = 1e-5;
            ZEM::position pm, pp;
            ZEM::vector dm, dp;
            c.eval(t - h, &pm, &dm);
            c.eval(t + h, &pp, &dp);
            EXPECT_LT(((pp - pm) / (2 * h) - d1).len(), 1e-5 * scale_of(d1) * scale_of(d2));
            EXPECT_LT(((dp - dm) / (2 * h) - d2).len(), 1e-4 * scale_of(d2) * scale_of(d1));
        }
    }
    EXPECT_GT(derivative_checks, 1000);
}

namespace {

// A cubic Bezier in one span, knots 0 x4 and 1 x4.
sw_curve cubic_bezier(double const *weights = nullptr) {
    double const knots[] = {0, 0, 0, 0, 1, 1, 1, 1};
    double const pts[] = {0, 0, 0, 1, 2, 0, 3, 2, 1, 4, 0, 1};
    return sw_curve(4, 3, 0, 0, weights ? 0 : 1, 0, knots, weights, pts, 0, 1, nullptr);
}

// de Casteljau's construction, for the Bezier evaluation of any order.
ZEM::position de_casteljau(std::vector<ZEM::position> p, double u) {
    for (std::size_t r = 1; r < p.size(); ++r) {
        for (std::size_t j = 0; j + r < p.size(); ++j) p[j] = p[j] + (p[j + 1] - p[j]) * u;
    }
    return p[0];
}

}  // namespace

TEST_F(SwCurve, BezierSegmentsOfEveryOrderMatchDeCasteljau) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> c(-5, 5), u01(0, 1);
    for (int n = 1; n <= 9; ++n) {
        std::vector<ZEM::position> p;
        for (int j = 0; j < n; ++j) p.emplace_back(c(rng), c(rng), c(rng));
        for (double u : {0.0, 0.3, u01(rng), 0.999, 1.0}) {
            ZEM::position const want = de_casteljau(p, u);
            EXPECT_LT((bezier_eval(n, p.data(), nullptr, u) - want).len(), 1e-12) << n;
        }
        // Within get_resabs of an end the end point itself.
        EXPECT_EQ(bezier_eval(n, p.data(), nullptr, 1e-9), p.front());
        EXPECT_EQ(bezier_eval(n, p.data(), nullptr, 1 - 1e-9), p.back());
    }
    ZEM::position const one[1] = {ZEM::position(1, 2, 3)};
    EXPECT_LAW_ERROR(bezier_eval(0, one, nullptr, 0.5), SW_BAD_ORDER);
    double const zero_weight[2] = {1, 0};
    ZEM::position const two[2] = {ZEM::origin, ZEM::position(1, 0, 0)};
    EXPECT_LAW_ERROR(bezier_eval(2, two, zero_weight, 0.5), SW_BAD_WEIGHTS);
    EXPECT_EQ(bezier_eval_vector(0, two, 0.5), ZEM::null_vector);
}

TEST_F(SwCurve, EdgeCasesOfEvaluation) {
    // Degree 1, two points: the segment, with no second derivative.
    double const k1[] = {0, 0, 2, 2};
    double const p1[] = {1, 1, 1, 5, 3, 1};
    sw_curve const line(2, 1, 0, 0, 1, 0, k1, nullptr, p1, 0, 2, nullptr);
    ZEM::position p;
    ZEM::vector d1, d2(9, 9, 9);
    line.eval(0.5, &p, &d1, &d2);
    EXPECT_LT((p - ZEM::position(2, 1.5, 1)).len(), 1e-14);
    EXPECT_LT((d1 - ZEM::vector(2, 1, 0)).len(), 1e-14);
    EXPECT_EQ(d2, ZEM::null_vector);

    // Just past the end it is the end; well past, the end tangent line.
    sw_curve const c = cubic_bezier();
    ZEM::position end, past, far;
    ZEM::vector dend, dfar, d2far;
    c.eval(1, &end, &dend);
    c.eval(1 + 5e-11, &past);
    EXPECT_EQ(past, end);
    c.eval(2, &far, &dfar, &d2far);
    EXPECT_LT((far - (end + dend)).len(), 1e-12);
    EXPECT_EQ(dfar, dend);
    EXPECT_EQ(d2far, ZEM::null_vector);
    // The end derivative of a Bezier: 3 (P3 - P2).
    EXPECT_LT((dend - ZEM::vector(3, -6, 0)).len(), 1e-12);

    // A knot of full multiplicity inside: a span of no length, passed without error.
    double const k2[] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
    double const p2[] = {0, 0, 0, 1, 1, 0, 2, 0, 0, 3, 1, 0, 4, 0, 0, 5, 1, 0};
    sw_curve const broken(6, 2, 0, 0, 1, 0, k2, nullptr, p2, 0, 2, nullptr);
    // Two quadratic Bezier pieces: the first ends at its last point, the second's middle is
    // (P3 + 2 P4 + P5) / 4.
    ZEM::position q;
    broken.eval(1.0, &q);
    EXPECT_LT((q - ZEM::position(2, 0, 0)).len(), 1e-12);
    broken.eval(1.5, &q);
    EXPECT_LT((q - ZEM::position(4, 0.5, 0)).len(), 1e-12);

    // Any output may be left out.
    c.eval(0.5, nullptr, nullptr, nullptr);
}

TEST_F(SwCurve, CopiesOwnTheirBlocksAndControlPointsRefreshTheCaches) {
    sw_curve a = cubic_bezier();
    ZEM::position before;
    a.eval(0.5, &before);
    sw_curve b(a);
    sw_curve c = cubic_bezier();
    c = a;
    std::unique_ptr<sw_curve> d(a.copy_curve());
    EXPECT_NE(b.get_IGES_DATA(), a.get_IGES_DATA());
    EXPECT_NE(c.get_IGES_DATA(), a.get_IGES_DATA());
    double const moved[3] = {10, 10, 10};
    a.set_control_point(1, moved);
    double got[3];
    a.get_control_point(1, got);
    EXPECT_EQ(got[0], 10);
    // Bernstein weight of point 1 at 0.5 is 3/8: the point moves by 3/8 of the shift.
    ZEM::position after;
    a.eval(0.5, &after);
    EXPECT_LT((after - before - ZEM::vector(9, 8, 10) * 0.375).len(), 1e-12);
    for (sw_curve const *other : {&b, &c, d.get()}) {
        ZEM::position q;
        other->eval(0.5, &q);
        EXPECT_EQ(q, before);
    }
    SizeAccumulator acc;
    a.full_size(acc);
    EXPECT_GT(acc.getSize(), sizeof(double) * a.get_data_size() + sizeof(sw_curve));
}

TEST_F(SwCurve, RationalCurvesDrawTheCircleExactly) {
    // A quarter of the unit circle: weights 1, 1/sqrt 2, 1.
    double const knots[] = {0, 0, 0, 1, 1, 1};
    double const w[] = {1, std::sqrt(0.5), 1};
    double const pts[] = {1, 0, 0, 1, 1, 0, 0, 1, 0};
    sw_curve const q(3, 2, 1, 0, 0, 0, knots, w, pts, 0, 1, nullptr);
    for (int i = 0; i <= 10; ++i) {
        ZEM::position p;
        ZEM::vector d1, d2;
        q.eval(i / 10.0, &p, &d1, &d2);
        EXPECT_NEAR((p - ZEM::origin).len(), 1, 1e-14);
        EXPECT_NEAR((p - ZEM::origin) % d1, 0, 1e-12);  // tangent across the radius
    }
}

TEST_F(SwCurve, BadCurvesAndUnprovidedQueriesRaise) {
    double const knots[] = {0, 0, 0, 0, 1, 1, 1, 1};
    double const down[] = {0, 0, 0, 0, 1, 0.5, 1, 1};
    double const pts[12] = {};
    double const bad_w[] = {1, 1, 0, 1};
    EXPECT_LAW_ERROR(sw_curve(3, 3, 0, 0, 1, 0, knots, nullptr, pts, 0, 1, nullptr), SW_BAD_ORDER);
    EXPECT_LAW_ERROR(sw_curve(4, 3, 0, 0, 1, 0, down, nullptr, pts, 0, 1, nullptr), SW_BAD_KNOTS);
    // A weight of 0 is refused where the Bezier evaluation meets it, not when the curve is made.
    sw_curve zero_weight(4, 3, 0, 0, 0, 0, knots, bad_w, pts, 0, 1, nullptr);
    ZEM::position p;
    EXPECT_LAW_ERROR(zero_weight.eval(0.5, &p, nullptr, nullptr), SW_BAD_WEIGHTS);
    EXPECT_LAW_ERROR(sw_curve(4, 3, 0, 0, 1, 0, nullptr, nullptr, pts, 0, 1, nullptr),
                     LAW_NULL_LAW);
    double const nan_knots[] = {0, 0, 0, 0, NAN, 1, 1, 1};
    EXPECT_LAW_ERROR(sw_curve(4, 3, 0, 0, 1, 0, nan_knots, nullptr, pts, 0, 1, nullptr),
                     SW_BAD_KNOTS);
    sw_curve const c = cubic_bezier();
    EXPECT_LAW_ERROR(c.eval_curvature(0.5), NO_SW_EVAL_CURVATURE);
    EXPECT_LAW_ERROR(c.length_param(0, 1), NO_SW_LENGTH_PARAM);
    EXPECT_LAW_ERROR(c.length(0, 1), NO_SW_LENGTH);
    EXPECT_LAW_ERROR(c.point_perp(ZEM::origin, 0.5), NO_SW_POINT_PERP);
}

TEST_F(SwCurve, DumpListsKnotsBesideTheirControlPoints) {
    std::string const poly = captured([] { cubic_bezier().debug(); });
    std::string const blank =
        "#       (                  ,                   ,                   ),    "
        "0.0000000000000\n";
    EXPECT_EQ(
        poly.substr(0, poly.find(blank)),
        "#sw_curve info:\n#degree: 3\n#control points: 4\n#knots: 8\n#spans: 1\nPolynomial\n");
    std::vector<std::string> lines;
    for (std::size_t at = 0, nl; (nl = poly.find('\n', at)) != std::string::npos; at = nl + 1)
        lines.push_back(poly.substr(at, nl - at + 1));
    ASSERT_EQ(lines.size(), 14u);
    EXPECT_EQ(lines[6], blank);
    EXPECT_EQ(lines[7], blank);
    EXPECT_EQ(lines[8],
              "#       (   0.0000000000000,    0.0000000000000,    0.0000000000000),"
              "    0.0000000000000\n");
    EXPECT_EQ(lines[9],
              "#       (   1.0000000000000,    2.0000000000000,    0.0000000000000),"
              "    0.0000000000000\n");
    EXPECT_EQ(lines[11],
              "#       (   4.0000000000000,    0.0000000000000,    1.0000000000000),"
              "    1.0000000000000\n");
    EXPECT_EQ(lines[13],
              "#       (                  ,                   ,                   ),"
              "    1.0000000000000\n");
    double const w[] = {1, 2, 2, 1};
    std::string const rat = captured([&w] { cubic_bezier(w).debug(); });
    EXPECT_NE(rat.find("Rational\n"), std::string::npos);
    EXPECT_NE(rat.find("#       (                  ,                   ,                   ),"
                       "                   ,    0.0000000000000\n"),
              std::string::npos);
    EXPECT_NE(rat.find("#       (   1.0000000000000,    2.0000000000000,    0.0000000000000),"
                       "    2.0000000000000,    0.0000000000000\n"),
              std::string::npos);
}

TEST_F(SwCurve, RatioInterpolatesOrKeepsTheStart) {
    double r = 0;
    sw_ratio(1, 1.5, 3, 10, r, 20);
    EXPECT_DOUBLE_EQ(r, 12.5);
    sw_ratio(1, 1.5, 1 + 1e-13, 10, r, 20);
    EXPECT_EQ(r, 10);
    ZEM::vector v;
    sw_ratio(0, 0.25, 1, ZEM::vector(0, 4, 8), v, ZEM::vector(4, 0, 8));
    EXPECT_EQ(v, ZEM::vector(1, 3, 8));
}

TEST_F(SwCurve, ThreadsEvaluateOneCurveAtOnce) {
    std::mt19937 rng(5);
    random_curve const rc(rng);
    sw_curve const c = rc.make();
    double const a = rc.knots[rc.degree], b = rc.knots[rc.K()];
    std::vector<double> ts;
    std::vector<ZEM::position> want;
    for (int i = 0; i < 200; ++i) {
        ts.push_back(a + (b - a) * i / 199.0);
        ZEM::vector ref[3];
        rc.reference(ts.back(), ref);
        want.push_back(ZEM::origin + ref[0]);
    }
    // Half the threads meet the curve before its caches are filled.
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int k = 0; k < 8; ++k) {
        threads.emplace_back([&] {
            for (int rep = 0; rep < 50; ++rep) {
                for (std::size_t i = 0; i < ts.size(); ++i) {
                    ZEM::position p;
                    ZEM::vector d1, d2;
                    c.eval(ts[i], &p, &d1, &d2);
                    if ((p - want[i]).len() > 1e-9 * (1 + (want[i] - ZEM::origin).len())) ++wrong;
                }
            }
        });
    }
    for (auto &t : threads) t.join();
    EXPECT_EQ(wrong.load(), 0);
}
