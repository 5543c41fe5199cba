#include <cfloat>
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <law/numeric/extrema.h>
#include <law/numeric/nroot.h>

#include "numeric_test_util.h"

namespace {

constexpr double pi = std::numbers::pi;

class Extrema : public LawTest {};

double max_of(char const *text, double a, double b) {
    law_ptr const f = parse_law(text);
    return Nmax(f.get(), a, b);
}

double min_of(char const *text, double a, double b) {
    law_ptr const f = parse_law(text);
    return Nmin(f.get(), a, b);
}

TEST_F(Extrema, MaximaAndMinimaAtKnownPlaces) {
    EXPECT_NEAR(max_of("X*(1-X)", 0, 1), 0.5, 1e-9);
    EXPECT_NEAR(max_of("X*EXP(-X)", 0, 5), 1, 1e-7);
    EXPECT_NEAR(min_of("X^4-2*X^2", 0.2, 3), 1, 1e-7);
    EXPECT_NEAR(min_of("COS(X)", 1, 6), pi, 1e-7);
    EXPECT_EQ(max_of("X", 1, 4), 4);  // a monotone law: at an end
    EXPECT_EQ(min_of("X", 4, 1), 1);
}

// x^(x^(x^2)) has no value at most negative x, where the singular points of its parts are
// asked for; on [0.1, 1.5] it is smallest at 0.1, where x^2 = 0.01 and 0.1^0.01 = 0.97724.
TEST_F(Extrema, PowersWithPowersForExponentsHaveTheirMinimum) {
    EXPECT_EQ(min_of("X^(X^(X^2))", 0.1, 1.5), 0.1);
    law_ptr const f = parse_law("X^(X^2)");
    EXPECT_FALSE(f->constant());
    double const at[1] = {0.1};
    EXPECT_NEAR(first_value(parse_law("X^(X^(X^2))").get(), at), std::pow(0.1, std::pow(0.1, 0.01)),
                1e-15);
}

// The turning points of x^(x^(...^2)) are searched with its fourth derivative, which grows as the
// cube of the tower's height: at 50 levels the search stops with a clear error instead of
// making tens of millions of laws.
TEST_F(Extrema, SearchesWhoseDerivativesGrowWithoutMeasureStop) {
    std::string text;
    for (int i = 0; i < 50; ++i) text += "X^(";
    text += "2" + std::string(50, ')');
    law_ptr const tower = parse_law(text.c_str());
    EXPECT_LAW_ERROR(Nmin(tower.get(), 0.1, 3), LAW_ROOTS_UNRESOLVED);
    // The tower's own roots need its first three derivatives only: x^x^... = 1.5 where
    // x = 1.5^(1/1.5).
    law_ptr const shifted = parse_law(("(" + text + ")-1.5").c_str());
    int n = 0;
    double *roots = Nroot(shifted.get(), 0.1, 3, &n);
    ASSERT_EQ(n, 1);
    EXPECT_NEAR(roots[0], std::pow(1.5, 1 / 1.5), 1e-6);
    vorn_discard(roots);
    // Two hundred nested square roots: the first derivative is zero within tolerance, and the
    // check of its sign changes between the roots the scan found needs its slope, the second
    // derivative, whose simplification walks a product of two hundred factors for each of its
    // terms at each level. It stops in the same error, not minutes later.
    std::string nested;
    for (int i = 0; i < 200; ++i) nested += "SQRT(";
    law_ptr const roots_tower = parse_law((nested + "X" + std::string(200, ')')).c_str());
    EXPECT_LAW_ERROR(Nmin(roots_tower.get(), 0.1, 3), LAW_ROOTS_UNRESOLVED);
}

TEST_F(Extrema, EqualValuesAtTheEndsKeepTheFirst) { EXPECT_EQ(max_of("X^2", -1, 1), -1); }

TEST_F(Extrema, MinIsTheMaxOfTheNegatedLaw) {
    for (char const *text : {"SIN(X)", "X^3-3*X", "EXP(X)*COS(3*X)"}) {
        law_ptr const f = parse_law(text);
        law_ptr const neg = make_law<negate_law>(f.get());
        EXPECT_EQ(Nmin(f.get(), -2, 6), Nmax(neg.get(), -2, 6)) << text;
    }
}

TEST_F(Extrema, BadInputGetsAClearError) {
    law_ptr const vec = parse_law("VEC(X,X)"), f = parse_law("X");
    EXPECT_LAW_ERROR(Nmax(vec.get(), 0, 1), LAW_DIM);
    EXPECT_LAW_ERROR(Nmin(f.get(), -INFINITY, 1), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nmin_quick(f.get(), 0, 1, 5, NAN, 0), LAW_BAD_BOUNDS);
    EXPECT_LAW_ERROR(Nmax_quick(f.get(), 0, NAN, 5, 0.1, 0), LAW_BAD_BOUNDS);
}

TEST_F(Extrema, QuickSearchesRefineTheBestSample) {
    law_ptr const f = parse_law("(X-1.3)^2+2"), g = parse_law("2-(X-1.3)^2");
    EXPECT_NEAR(Nmin_quick(f.get(), 0, 3, 7, 0.1, 0), 1.3, 1e-6);
    EXPECT_NEAR(Nmax_quick(g.get(), 3, 0, 7, 0.1, 0), 1.3, 1e-6);
    // The constraint keeps the search inside [a, b].
    law_ptr const x = parse_law("X");
    EXPECT_NEAR(Nmin_quick(x.get(), 2, 5, 4, 0.5, -DBL_MAX), 2, 1e-9);
}

TEST_F(Extrema, QuickSearchWithOneSampleStartsFromA) {
    law_ptr const f = parse_law("(X-4)^2");
    // A step too small to move returns the start itself.
    EXPECT_EQ(Nmin_quick(f.get(), 0, 10, 1, 1e-15, 0), 0);
    EXPECT_EQ(Nmin_quick(f.get(), 0, 10, 3, 1e-15, 0), 5);
}

TEST_F(Extrema, QuickMaxReleasesItsLawWhenTheSearchRaises) {
    law_ptr const f = parse_law("LN(X)");
    EXPECT_LAW_ERROR(Nmax_quick(f.get(), -2, -1, 5, 0.1, 0), LAW_LN);
}

class Bounds : public LawTest {};

struct range {
    double lo, hi;
};

std::vector<range> bounds_of(char const *text, std::vector<double> start, std::vector<double> end,
                             double tol = 1e-3) {
    law_ptr const f = parse_law(text);
    int const n = f->return_dim();
    std::vector<double> lo(n), hi(n);
    f->bounds(lo.data(), hi.data(), start.data(), end.data(), tol);
    std::vector<range> out;
    for (int k = 0; k < n; ++k) out.push_back({lo[k], hi[k]});
    return out;
}

// The estimate holds the true range and is wider by at most a few percent.
void expect_range(range r, double lo, double hi, char const *text) {
    double const slack = 0.03 * (hi - lo) + 0.01;
    EXPECT_LE(r.lo, lo) << text;
    EXPECT_GE(r.hi, hi) << text;
    EXPECT_GE(r.lo, lo - slack) << text;
    EXPECT_LE(r.hi, hi + slack) << text;
}

TEST_F(Bounds, HoldTheTrueRangeOverTheBox) {
    expect_range(bounds_of("X^2", {-1}, {2})[0], 0, 4, "X^2");
    expect_range(bounds_of("SIN(X)", {0}, {2 * pi})[0], -1, 1, "SIN(X)");
    expect_range(bounds_of("X*Y", {-1, -1}, {1, 2})[0], -2, 2, "X*Y");
    std::vector<range> const circle = bounds_of("VEC(COS(X),SIN(X))", {0}, {2 * pi});
    expect_range(circle[0], -1, 1, "COS");
    expect_range(circle[1], -1, 1, "SIN");
}

TEST_F(Bounds, AnAlwaysNegativeLawHasANegativeMaximum) {
    EXPECT_LT(bounds_of("-1-X^2", {-1}, {1})[0].hi, 0);
}

TEST_F(Bounds, DefaultBoxIsTheDomainAndMustBeFinite) {
    law_ptr const f = parse_law("X^2");
    double lo = 0, hi = 0;
    EXPECT_LAW_ERROR(f->bounds(&lo, &hi, nullptr, nullptr, 1e-3), LAW_BAD_BOUNDS);
    law_ptr const restricted = adopt(f->set_domain(std::vector<ZEM::interval>{{1, 3}}.data()));
    double step = 0;
    EXPECT_EQ(restricted->bounds(&lo, &hi, nullptr, nullptr, 1e-3, &step), 2e-3);
    expect_range({lo, hi}, 1, 9, "X^2 on [1, 3]");
    EXPECT_GT(step, 0);
    EXPECT_LT(step, 0.5);
}

// Interval arithmetic of the classes that bound themselves, against the ranges worked out by
// hand.
TEST_F(Bounds, EstimateBoundsOfSelfBoundingLaws) {
    struct row {
        char const *text;
        double lo, hi;  // over [0, 1]
    } const rows[] = {
        {"X+1", 1, 2}, {"2*X-X", -1, 2},
        {"X*X", 0, 1}, {"EXP(X)", 1, std::exp(1.0)},
        {"-X", -1, 0}, {"SIN(X)", 0, std::sin(1.0)},
    };
    for (row const &r : rows) {
        law_ptr const f = parse_law(r.text);
        int failed = -1;
        // Simplification may rewrite the tree; bound the law as read.
        ZEM::interval const b = f->estimate_bounds(ZEM::interval(0, 1), failed);
        EXPECT_EQ(failed, 0) << r.text;
        EXPECT_NEAR(b.low(), r.lo, 1e-12) << r.text;
        EXPECT_NEAR(b.high(), r.hi, 1e-12) << r.text;
    }
    law_ptr const floor_law = parse_law("FLOOR(X)");
    int failed = 0;
    EXPECT_LAW_ERROR(floor_law->estimate_bounds(ZEM::interval(0, 1), failed), LAW_BAD_BOUNDS);
}

}  // namespace
