// Every zero of a plane system in a box, against zeros known in closed form: conics that cross,
// touch or miss, close pairs, many zeros, zeros on the box's edge, laws of one and of three
// outputs, curves of zeros, and laws the interval rules do not know.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

#include <law/numeric/plane_zeros.h>

#include "numeric_test_util.h"

namespace {

class PlaneZeros : public LawTest {};

using point = complex_number;

plane_zero_set zeros_of(char const *text, rec2d box) {
    law_ptr const f = parse_law(text);
    return plane_zeros(f.get(), box);
}

// The found zeros match the expected ones one to one, each within tol.
void expect_zeros(plane_zero_set const &found, std::vector<point> want, double tol,
                  std::string const &what) {
    EXPECT_FALSE(found.on_curves) << what;
    EXPECT_FALSE(found.exhausted) << what;
    ASSERT_EQ(found.zeros.size(), want.size()) << what;
    std::sort(want.begin(), want.end(),
              [](point a, point b) { return a.re < b.re || (a.re == b.re && a.im < b.im); });
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_NEAR(found.zeros[i].point.re, want[i].re, tol) << what << " zero " << i;
        EXPECT_NEAR(found.zeros[i].point.im, want[i].im, tol) << what << " zero " << i;
    }
}

std::string number(double v) {
    char buf[40];
    std::snprintf(buf, sizeof buf, "(%.17g)", v);
    return buf;
}

TEST_F(PlaneZeros, CircleAndHyperbola) {
    // x^2 + y^2 = 4 and x y = 1: x^2 = 2 +- sqrt(3), y = 1/x.
    std::vector<point> want;
    for (double s : {1.0, -1.0})
        for (double t : {1.0, -1.0}) {
            double const x = s * std::sqrt(2 + t * std::sqrt(3.0));
            want.push_back({x, 1 / x});
        }
    plane_zero_set const r = zeros_of("VEC(X^2+Y^2-4,X*Y-1)", {-3, -3, 3, 3});
    expect_zeros(r, want, 1e-13, "circle and hyperbola");
    for (plane_zero const &z : r.zeros) {
        EXPECT_TRUE(z.isolated);
        EXPECT_LT(z.residual, 1e-14);
    }
    // A box that holds only the two in the first quadrant.
    expect_zeros(zeros_of("VEC(X^2+Y^2-4,X*Y-1)", {0, 0, 3, 3}), {want[0], want[1]}, 1e-13,
                 "first quadrant");
}

// Pairs of circles with the points where they cross from the chord through them.
TEST_F(PlaneZeros, PairsOfCircles) {
    struct circle {
        double x, y, r;
    };
    circle const circles[] = {{0, 0, 1},        {1, 0, 1},   {0.3, -0.4, 0.7},
                              {-1.2, 0.5, 1.5}, {2, 2, 0.5}, {0.1, 0.2, 2.5}};
    int pairs = 0;
    for (circle const &a : circles)
        for (circle const &b : circles) {
            if (&a == &b) continue;
            double const dx = b.x - a.x, dy = b.y - a.y, d = std::hypot(dx, dy);
            std::vector<point> want;
            if (d < a.r + b.r - 1e-3 && d > std::fabs(a.r - b.r) + 1e-3) {
                double const along = (d * d + a.r * a.r - b.r * b.r) / (2 * d);
                double const h = std::sqrt(a.r * a.r - along * along);
                double const mx = a.x + along * dx / d, my = a.y + along * dy / d;
                want = {{mx + h * dy / d, my - h * dx / d}, {mx - h * dy / d, my + h * dx / d}};
            } else if (d <= std::fabs(a.r - b.r) - 1e-3 || d >= a.r + b.r + 1e-3) {
                want = {};
            } else {
                continue;  // nearly touching: not this test's business
            }
            std::string const text = "VEC((X-" + number(a.x) + ")^2+(Y-" + number(a.y) + ")^2-" +
                                     number(a.r * a.r) + ",(X-" + number(b.x) + ")^2+(Y-" +
                                     number(b.y) + ")^2-" + number(b.r * b.r) + ")";
            expect_zeros(zeros_of(text.c_str(), {-4, -4, 4, 4}), want, 1e-12, text);
            ++pairs;
        }
    EXPECT_GT(pairs, 20);
}

// A zero where the curves touch has a singular Jacobian: it is found, once, to about the square
// root of the rounding.
TEST_F(PlaneZeros, TouchingCurves) {
    plane_zero_set const line = zeros_of("VEC(X^2+Y^2-1,Y-1)", {-2, -2, 2, 2});
    expect_zeros(line, {{0, 1}}, 1e-6, "circle and tangent line");
    EXPECT_FALSE(line.zeros[0].isolated);
    expect_zeros(zeros_of("VEC(X^2+Y^2-1,(X-2)^2+Y^2-1)", {-3, -3, 3, 3}), {{1, 0}}, 1e-6,
                 "circles touching outside");
    expect_zeros(zeros_of("VEC(X^2+Y^2-4,(X-1)^2+Y^2-1)", {-3, -3, 3, 3}), {{2, 0}}, 1e-6,
                 "circles touching inside");
    expect_zeros(zeros_of("VEC(Y-X^2,Y)", {-1, -1, 1, 1}), {{0, 0}}, 1e-6, "parabola and tangent");
}

TEST_F(PlaneZeros, NoneInTheBox) {
    expect_zeros(zeros_of("VEC(X^2+Y^2-1,X^2+Y^2-4)", {-3, -3, 3, 3}), {}, 0, "concentric");
    expect_zeros(zeros_of("VEC(X^2+Y^2-1,X-Y)", {2, 2, 3, 3}), {}, 0, "zeros outside");
    expect_zeros(zeros_of("VEC(X^2+Y^2+1,X-Y)", {-5, -5, 5, 5}), {}, 0, "no real zero");
    expect_zeros(zeros_of("VEC(EXP(X)+1,Y)", {-5, -5, 5, 5}), {}, 0, "positive");
    expect_zeros(zeros_of("VEC(X-1,Y-2,X-Y)", {-5, -5, 5, 5}), {}, 0, "three lines apart");
}

TEST_F(PlaneZeros, ZerosCloseTogetherAndManyZeros) {
    expect_zeros(zeros_of("VEC((X-1)*(X-1.000001),Y)", {0, -1, 2, 1}), {{1, 0}, {1.000001, 0}},
                 1e-12, "a micron apart");
    expect_zeros(zeros_of("VEC((X-1)*(X-1.0000001),(Y-2)*(Y-2.0000001))", {0, 0, 3, 3}),
                 {{1, 2}, {1, 2.0000001}, {1.0000001, 2}, {1.0000001, 2.0000001}}, 1e-12,
                 "four in a square of 1e-7");
    expect_zeros(zeros_of("VEC(X^2-1E-10,Y)", {-1, -1, 1, 1}), {{-1e-5, 0}, {1e-5, 0}}, 1e-15,
                 "tiny scale");
    std::vector<point> grid;
    double const step = std::numbers::pi / 5;
    for (int i = -4; i <= 4; ++i)
        for (int k = -4; k <= 4; ++k) grid.push_back({i * step, k * step});
    expect_zeros(zeros_of("VEC(SIN(5*X),SIN(5*Y))", {-3, -3, 3, 3}), grid, 1e-12, "81 zeros");
    // The cube roots of unity, as the real and imaginary parts of z^3 - 1.
    double const h = std::sqrt(3.0) / 2;
    expect_zeros(zeros_of("VEC(X^3-3*X*Y^2-1,3*X^2*Y-Y^3)", {-2, -2, 2, 2}),
                 {{1, 0}, {-0.5, h}, {-0.5, -h}}, 1e-13, "cube roots of unity");
}

TEST_F(PlaneZeros, ZerosOnTheEdgeOfTheBoxAndBesidePoles) {
    expect_zeros(zeros_of("VEC(X-1,Y)", {1, 0, 2, 2}), {{1, 0}}, 1e-14, "corner");
    expect_zeros(zeros_of("VEC(X-1,Y-1)", {0, 0, 2, 2}), {{1, 1}}, 1e-14, "centre");
    expect_zeros(zeros_of("VEC(1/X-2,Y-0.5)", {-1, -1, 1, 1}), {{0.5, 0.5}}, 1e-14, "pole");
    expect_zeros(zeros_of("VEC(SQRT(X)-0.5,Y)", {-1, -1, 1, 1}), {{0.25, 0}}, 1e-14, "domain");
    double const pi = std::numbers::pi;
    expect_zeros(zeros_of("VEC(TAN(X),Y)", {0.5, -1, 7, 1}), {{pi, 0}, {2 * pi, 0}}, 1e-12,
                 "tangent's poles");
    expect_zeros(zeros_of("VEC(ABS(X)-0.5,Y-X)", {-1, -1, 1, 1}), {{-0.5, -0.5}, {0.5, 0.5}}, 1e-14,
                 "kinks");
}

TEST_F(PlaneZeros, LawsOfOneAndOfThreeOutputs) {
    double const s = std::sqrt(0.5);
    expect_zeros(zeros_of("(X^2+Y^2-1)^2+(X-Y)^2", {-2, -2, 2, 2}), {{-s, -s}, {s, s}}, 1e-12,
                 "sum of squares");
    expect_zeros(zeros_of("(X-1)^2+(Y-0.5)^2", {0, 0, 3, 3}), {{1, 0.5}}, 1e-12, "bowl");
    expect_zeros(zeros_of("VEC(X-1,Y-2,X+Y-3)", {-5, -5, 5, 5}), {{1, 2}}, 1e-14, "three lines");
    // A law of one output that changes sign vanishes along a curve.
    plane_zero_set const circle = zeros_of("X^2+Y^2-1", {-2, -2, 2, 2});
    EXPECT_TRUE(circle.on_curves);
    EXPECT_TRUE(circle.zeros.empty());
    EXPECT_TRUE(zeros_of("X^2+Y^2-1E-6", {-2, -2, 2, 2}).on_curves);  // a small loop
}

TEST_F(PlaneZeros, CurvesOfZerosAreSaid) {
    EXPECT_TRUE(zeros_of("VEC(X-Y,2*X-2*Y)", {-1, -1, 1, 1}).on_curves);
    EXPECT_TRUE(zeros_of("VEC(X-1,X-1)", {0, 0, 2, 2}).on_curves);
    EXPECT_FALSE(zeros_of("VEC(X-1,X-1)", {2, 0, 3, 2}).on_curves);  // the line misses the box
}

// A class with neither interval rule nor derivative: its ranges are sampled and its zeros found
// by damped Gauss-Newton steps with difference slopes.
class circle_and_hyperbola : public law {
  public:
    char const *class_name() const override { return "circle_and_hyperbola"; }
    void evaluate(double const *x, double *y) const override {
        y[0] = x[0] * x[0] + x[1] * x[1] - 4;
        y[1] = x[0] * x[1] - 1;
    }

  protected:
    int take_size() const override { return 2; }
    int return_size() const override { return 2; }
    law *deriv(int) const override { return nullptr; }
};

TEST_F(PlaneZeros, LawsWithoutRulesOrDerivatives) {
    law_ptr const f = make_law<circle_and_hyperbola>();
    plane_zero_set const r = plane_zeros(f.get(), {-3, -3, 3, 3});
    std::vector<point> want;
    for (double s : {1.0, -1.0})
        for (double t : {1.0, -1.0}) {
            double const x = s * std::sqrt(2 + t * std::sqrt(3.0));
            want.push_back({x, 1 / x});
        }
    expect_zeros(r, want, 1e-9, "no rules");
    // SEC has no interval rule; its sampled ranges still let the cells go.
    double const third = std::numbers::pi / 3;
    expect_zeros(zeros_of("VEC(SEC(X)-2,Y)", {-1.5, -1, 1.5, 1}), {{-third, 0}, {third, 0}}, 1e-12,
                 "secant");
}

TEST_F(PlaneZeros, BadInputIsRefused) {
    law_ptr const f = parse_law("VEC(X,Y)"), three = parse_law("X+Y+Z");
    EXPECT_LAW_ERROR(plane_zeros(f.get(), {1, 0, 0, 1}), LAW_BAD_SEARCH_BOX);
    EXPECT_LAW_ERROR(plane_zeros(f.get(), {0, 0, 1, 0}), LAW_BAD_SEARCH_BOX);
    EXPECT_LAW_ERROR(plane_zeros(f.get(), {0, NAN, 1, 1}), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(plane_zeros(f.get(), {0, 0, INFINITY, 1}), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(plane_zeros(three.get(), {0, 0, 1, 1}), LAW_EVALV);
}

}  // namespace
