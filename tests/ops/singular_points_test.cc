// The singular points that laws report: where a member crosses zero or a whole number, where a
// divisor or a tangent has its poles, what the members report, sorted and within the range.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <law/core/singular_points.h>
#include <law/lang/str_to_law.h>
#include <law/law.h>
#include <law/numeric/every_root.h>
#include <law/numeric/global_extrema.h>

#include "law_test.h"

namespace {

constexpr double pi = std::numbers::pi;

class SingularPoints : public LawTest {};

struct reported {
    std::vector<double> where;
    std::vector<int> order;
};

reported singular(char const *text, double start, double end) {
    law_ptr const f = adopt(str_to_law(text));
    EXPECT_TRUE(f) << text;
    double *where = nullptr;
    int *order = nullptr;
    int const n = f->singularities(&where, &order, start, end);
    vorn_ptr<double> const held_where(where);
    vorn_ptr<int> const held_order(order);
    reported r;
    for (int i = 0; i < n; ++i) {
        r.where.push_back(where[i]);
        r.order.push_back(order[i]);
    }
    return r;
}

void expect_points(char const *text, double start, double end, std::vector<double> const &at,
                   int order) {
    reported const r = singular(text, start, end);
    ASSERT_EQ(r.where.size(), at.size()) << text;
    for (std::size_t i = 0; i < at.size(); ++i) {
        EXPECT_NEAR(r.where[i], at[i], 1e-13 * std::max(1.0, std::fabs(at[i]))) << text << " " << i;
        EXPECT_EQ(r.order[i], order) << text << " " << i;
    }
}

TEST_F(SingularPoints, KinksJumpsAndPoles) {
    using sp = singular_point;
    expect_points("ABS(X-0.3)", -1, 1, {0.3}, sp::kink);
    expect_points("MAX(X,1-X)", 0, 1, {0.5}, sp::kink);
    // Every crossing of two members, also where a third is below both.
    expect_points("MIN(X,X^2,0.25)", -1, 1, {-0.5, 0, 0.25, 0.5, 1}, sp::kink);
    expect_points("FLOOR(2*X)", 0, 2, {0, 0.5, 1, 1.5, 2}, sp::jump);
    expect_points("CEIL(X^2)", 0, 2, {0, 1, std::sqrt(2.0), std::sqrt(3.0), 2}, sp::jump);
    expect_points("MOD(X,0.5)", 0.1, 1.2, {0.5, 1}, sp::jump);
    expect_points("STEP(X,1,2*X,2,3)", 0, 3, {1, 2}, sp::jump);
    expect_points("X<0.5", 0, 1, {0.5}, sp::jump);
    expect_points("TAN(X)", 0.5, 8, {pi / 2, 3 * pi / 2, 5 * pi / 2}, sp::pole_or_edge);
    expect_points("CSC(X)", 0.5, 7, {pi, 2 * pi}, sp::pole_or_edge);
    expect_points("1/(X-1)", 0, 2, {1}, sp::pole_or_edge);
    expect_points("(X-2)^(-1)", 0, 3, {2}, sp::pole_or_edge);
    expect_points("LN(X-1)+SQRT(X-2)", 0, 3, {1, 2}, sp::pole_or_edge);
    // Smooth laws have none; a whole power is smooth.
    expect_points("SIN(X)*EXP(X)+X^3", -5, 5, {}, 0);
}

TEST_F(SingularPoints, MembersReportTheirsSortedAndWithinRange) {
    using sp = singular_point;
    expect_points("SIN(ABS(X))+1", -1, 1, {0}, sp::kink);
    expect_points("PIECEWISE(X<0,-X,X^2)", -1, 1, {0}, sp::jump);
    expect_points("VEC(ABS(X-0.75),ABS(X-0.25),0)", 0, 1, {0.25, 0.75}, sp::kink);
    expect_points("ABS(X-5)", 0, 1, {}, 0);
    // A kink and a jump at one place count once, as the graver.
    reported const both = singular("ABS(X)+FLOOR(X)", -0.5, 0.5);
    ASSERT_EQ(both.where.size(), 1u);
    EXPECT_EQ(both.order[0], sp::jump);
    // Asked over the whole line, a kink is found where a linear member is zero.
    expect_points("-ABS(X-0.3)", -1.7976931348623157e308, 1.7976931348623157e308, {0.3}, sp::kink);
}

// ABS(ABS(...)-0.5)-0.5: each level's kinks are where the level below crosses zero, found by
// a search that asks for that level's own points again; each law's points are found once.
TEST_F(SingularPoints, NestedKinksAreFoundOnceEach) {
    std::string text = "X";
    for (int i = 0; i < 40; ++i) text = "ABS(" + text + ")-0.5";
    std::vector<double> halves;
    for (int k = -6; k <= 6; ++k) halves.push_back(k / 2.0);
    expect_points(text.c_str(), -3, 3, halves, singular_point::kink);
}

// A member that keeps to one side of another, or a law that keeps clear of zero, by its bounds,
// is not searched: the crossings and zeros that are there are still found.
TEST_F(SingularPoints, BoundsSpareTheSearchesOfWhatCannotCross) {
    using sp = singular_point;
    expect_points("MAX(MAX(X,1),2)", 0, 3, {1, 2}, sp::kink);
    expect_points("MAX(MAX(X,1),0.5)", 0, 3, {1}, sp::kink);
    expect_points("MIN(MAX(X,1),0.5)", 0, 3, {1}, sp::kink);
    expect_points("MIN(MIN(X,1),0.5)", 0, 3, {0.5, 1}, sp::kink);
    expect_points("SQRT(1+ABS(X-0.25))", -1, 1, {0.25}, sp::kink);
    expect_points("LN(2+SIN(X))+SQRT(SIN(X)+0.5)", 0, 4, {7 * pi / 6}, sp::pole_or_edge);
    // Ten thousand levels: each level's member keeps to its side of the level's number, so only
    // the innermost MAX is searched, and 1 + SQRT(...) is never zero.
    std::string kinks = "X", edges = "X";
    for (int i = 0; i < 10000; ++i) {
        kinks = "MAX(" + kinks + ",1)";
        edges = "SQRT(1+" + edges + ")";
    }
    expect_points(kinks.c_str(), 0.1, 3, {1}, sp::kink);
    expect_points(edges.c_str(), 0.1, 3, {}, 0);
}

// The poles of COT(COT(X)) pile up at 0, where COT(X) passes every multiple of pi, and so do
// the kinks of ABS(SIN(1/X)) and the jumps of FLOOR(1/X); TAN(X) over a billion has some 3e8
// poles. No search finds them all, and the points it found are no answer.
TEST_F(SingularPoints, PointsNoSearchCanAllFindAreAnError) {
    EXPECT_LAW_ERROR(singular("COT(COT(X))", -3, 3), LAW_ROOTS_UNRESOLVED);
    EXPECT_LAW_ERROR(singular("ABS(SIN(1/X))", -1, 1), LAW_ROOTS_UNRESOLVED);
    EXPECT_LAW_ERROR(singular("FLOOR(1/X)", 1, -1), LAW_ROOTS_UNRESOLVED);
    EXPECT_LAW_ERROR(singular("TAN(X)", 0, 1e9), LAW_ROOTS_UNRESOLVED);
    // Also from a law above them, and for a fit, which would place a break at each.
    EXPECT_LAW_ERROR(singular("1+ABS(COT(COT(X))-1)", -3, 3), LAW_ROOTS_UNRESOLVED);
    law_ptr const curve = adopt(str_to_law("VEC(X,ABS(SIN(1/X)),0)"));
    EXPECT_LAW_ERROR(law_to_sw_curve(curve.get(), ZEM::interval(-1, 1), 1e-3),
                     LAW_ROOTS_UNRESOLVED);
    // Away from 0 they are few: cot x is k pi where x is pi/2 - atan(k pi), on [1, 3] for k = 0,
    // -1 and -2.
    expect_points("COT(COT(X))", 1, 3, {pi / 2, pi / 2 + std::atan(pi), pi / 2 + std::atan(2 * pi)},
                  singular_point::pole_or_edge);
    // A member with no value on the range has no zeros there.
    expect_points("ABS(LN(X))", -3, -1, {}, 0);
}

// Searches that only cut their intervals at the points take those found: the largest value of
// |sin(1/x)| on [-1, 1] is 1, though its kinks near 0 cannot all be found; the roots of
// COT(COT(X)) found by a search cut at an incomplete list are only some of them.
TEST_F(SingularPoints, SearchesCutAtThePointsFound) {
    law_ptr const wave = adopt(str_to_law("ABS(SIN(1/X))"));
    EXPECT_EQ(Nmax_global(wave.get(), -1, 1).value, 1);
    law_ptr const f = adopt(str_to_law("COT(COT(X))"));
    root_report const r = all_roots(f.get(), -3, 3);
    EXPECT_FALSE(r.complete);
    ASSERT_FALSE(r.roots.empty());
    // cot(cot x) is 0 where cot x is pi/2 plus a multiple of pi.
    for (double x : r.roots) {
        double const k = 1 / std::tan(x) / pi - 0.5;
        EXPECT_NEAR(k, std::round(k), 1e-6 * std::max(1.0, std::fabs(k))) << x;
    }
    // A law whose points are all found leaves its search complete.
    law_ptr const tan = adopt(str_to_law("TAN(X)-1"));
    EXPECT_TRUE(all_roots(tan.get(), 0.5, 8).complete);
}

TEST_F(SingularPoints, ALongSumReportsWithoutDeepRecursion) {
    std::string text = "ABS(X-0.5)";
    for (int i = 0; i < 100000; ++i) text += "+X";
    expect_points(text.c_str(), 0, 1, {0.5}, singular_point::kink);
}

}  // namespace
